#include "ui/shell/DockEdgeNoticeDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

namespace quayline {

DockEdgeNotice::Answer showDockEdgeNotice(const DockEdgeNotice::Text& text) {
  QMessageBox box;
  box.setIcon(QMessageBox::Information);
  box.setWindowTitle(QApplication::applicationName());
  box.setText(QString::fromStdString(text.message));
  box.setInformativeText(QString::fromStdString(text.information));
  QPushButton* accept =
      box.addButton(QString::fromStdString(text.acceptButton), QMessageBox::AcceptRole);
  box.addButton(QString::fromStdString(text.quitButton), QMessageBox::RejectRole);
  box.setDefaultButton(accept);
  auto* move = new QCheckBox(QString::fromStdString(text.checkbox));
  box.setCheckBox(move);  // owned by the box
  box.setAccessibleName("dockEdgeNotice");
  box.show();
  box.raise();
  box.activateWindow();
  box.exec();
  return {box.clickedButton() == accept, move->isChecked()};
}

}  // namespace quayline
