#include "ui/shell/QtApplicationAppearance.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace quayline {

namespace {

QPalette darkPalette() {
  QPalette palette;
  const QColor window(45, 45, 48);
  const QColor base(30, 30, 32);
  const QColor text(235, 235, 240);
  const QColor disabled(130, 130, 135);
  palette.setColor(QPalette::Window, window);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Base, base);
  palette.setColor(QPalette::AlternateBase, window);
  palette.setColor(QPalette::Text, text);
  palette.setColor(QPalette::Button, window);
  palette.setColor(QPalette::ButtonText, text);
  palette.setColor(QPalette::ToolTipBase, window);
  palette.setColor(QPalette::ToolTipText, text);
  palette.setColor(QPalette::Highlight, QColor(10, 132, 255));
  palette.setColor(QPalette::HighlightedText, Qt::white);
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(QPalette::Disabled, role, disabled);
  }
  return palette;
}

}  // namespace

void QtApplicationAppearance::set(std::optional<Name> name) {
  if (qApp == nullptr) {
    return;
  }
  if (!name) {
    QApplication::setPalette(QApplication::style()->standardPalette());
  } else if (*name == Name::dark) {
    QApplication::setPalette(darkPalette());
  } else {
    QPalette light = QApplication::style()->standardPalette();
    light.setColor(QPalette::Window, QColor(246, 246, 246));
    QApplication::setPalette(light);
  }
}

}  // namespace quayline
