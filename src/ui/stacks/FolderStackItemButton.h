#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "stacks/FolderStackItem.h"
#include "stacks/FolderStackStyle.h"

namespace quayline {

// One entry of a stack: a grid cell (icon above its name) or a list row (small icon, then the
// name), highlighted while hovered and pressed; a click opens it.
class FolderStackItemButton final : public QWidget {
  Q_OBJECT

 public:
  static constexpr QSize gridCell{84, 74};
  static constexpr int listRowHeight = 28;

  FolderStackItemButton(FolderStackItem item, FolderStackStyle style, QImage icon, bool dark,
                        QWidget* parent);

  const FolderStackItem& item() const { return item_; }
  std::function<void(const FolderStackItem&)> onClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  FolderStackItem item_;
  FolderStackStyle style_;
  QImage icon_;
  bool dark_;
  bool hovered_ = false;
  bool pressed_ = false;
};

}  // namespace quayline
