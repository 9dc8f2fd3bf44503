#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

#include "previews/PreviewCard.h"
#include "previews/WindowThumbnailer.h"

namespace quayline {

// One window's card: its thumbnail (or the application's icon on a plain plate), the two caption
// lines, a light plate while the pointer is on it. Also the card's accessibility element.
class PreviewCardView : public QWidget {
  Q_OBJECT

 public:
  PreviewCardView(PreviewCard card, QWidget* parent);

  const PreviewCard& card() const { return card_; }
  void setThumbnail(std::optional<WindowThumbnailer::Thumbnail> thumbnail);
  void setIcon(QImage icon);
  void setDark(bool dark);

  std::function<void(const PreviewCard&)> onClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  PreviewCard card_;
  std::optional<WindowThumbnailer::Thumbnail> thumbnail_;
  QImage thumbnailImage_;
  QImage icon_;
  bool hovered_ = false;
  bool dark_ = false;
};

}  // namespace quayline
