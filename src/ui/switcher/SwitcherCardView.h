#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

#include "previews/WindowThumbnailer.h"
#include "switcher/SwitcherLayout.h"
#include "switcher/SwitcherModel.h"

namespace quayline {

// One window in the switcher: its picture (the live image, or the application's icon on a faint
// plate) with the application's icon hanging over its lower-left corner, and its title below; an
// accent outline while selected. Also the card's accessibility element.
class SwitcherCardView : public QWidget {
  Q_OBJECT

 public:
  SwitcherCardView(SwitcherCandidate candidate, SwitcherLayout layout, QWidget* parent);

  void setSelected(bool selected);
  void setThumbnail(std::optional<WindowThumbnailer::Thumbnail> thumbnail);
  void setIcons(QImage small, QImage large);
  void setDark(bool dark);
  const SwitcherCandidate& candidate() const { return candidate_; }

  std::function<void()> onHover;
  std::function<void()> onClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void describe();

  SwitcherCandidate candidate_;
  SwitcherLayout layout_;
  bool selected_ = false;
  bool dark_ = false;
  std::optional<WindowThumbnailer::Thumbnail> thumbnail_;
  QImage thumbnailImage_;
  QImage smallIcon_;
  QImage largeIcon_;
};

}  // namespace quayline
