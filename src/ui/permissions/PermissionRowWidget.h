#pragma once

#include <QWidget>
#include <functional>

#include "settings/PermissionRows.h"

class QLabel;
class QPushButton;

namespace quayline {

// One permission's row: title and tag chip, description, status with its symbol, and the action
// button or, where a button could not help, the reason in its place.
class PermissionRowWidget : public QWidget {
 public:
  explicit PermissionRowWidget(QWidget* parent = nullptr);

  void setRow(const PermissionRow& row);
  // Called when the action button is pressed.
  std::function<void()> pressed;

 private:
  QLabel* symbol_;
  QLabel* title_;
  QLabel* tag_;
  QLabel* description_;
  QLabel* status_;
  QLabel* reason_;
  QPushButton* button_;
};

}  // namespace quayline
