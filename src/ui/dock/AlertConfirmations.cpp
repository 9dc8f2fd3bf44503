#include "ui/dock/AlertConfirmations.h"

#include <QMessageBox>
#include <QPushButton>

namespace quayline {

void AlertConfirmations::confirm(const Confirmation& question, std::function<void()> confirmed) {
  // Not modal to any window and never waited for: the dock keeps running while it is open.
  auto* alert = new QMessageBox(QMessageBox::Warning, QStringLiteral("Quayline"),
                                QString::fromStdString(question.message));
  alert->setObjectName(QStringLiteral("confirmation"));
  alert->setAttribute(Qt::WA_DeleteOnClose);
  alert->setWindowFlag(Qt::WindowStaysOnTopHint);
  alert->setInformativeText(QString::fromStdString(question.informativeText));
  QPushButton* confirm =
      alert->addButton(QString::fromStdString(question.confirmTitle), QMessageBox::DestructiveRole);
  QPushButton* cancel = alert->addButton(QMessageBox::Cancel);
  alert->setDefaultButton(cancel);
  alert->setEscapeButton(cancel);
  QObject::connect(alert, &QMessageBox::buttonClicked, alert,
                   [confirm, confirmed = std::move(confirmed)](QAbstractButton* clicked) {
                     if (clicked == confirm && confirmed) {
                       confirmed();
                     }
                   });
  alert->show();
  alert->raise();
  alert->activateWindow();
}

}  // namespace quayline
