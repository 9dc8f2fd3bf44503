#include "ui/shell/MovePrompt.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "foundation/Url.h"
#include "platform/Workspace.h"
#include "system/InstallLocation.h"
#include "system/Relaunch.h"

namespace quayline {

namespace {

// A quit asked for before the event loop runs would be lost: it is queued instead.
void quitSoon(const std::function<void()>& quit) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), quit, Qt::QueuedConnection);
}

}  // namespace

bool MovePrompt::presentIfNeeded() {
  if (!services_.offered || !services_.location.needsMove()) {
    return false;
  }
  QMessageBox prompt(QMessageBox::Information, "Quayline",
                     "Move Quayline to your Applications folder?");
  prompt.setObjectName("movePrompt");
  prompt.setInformativeText(QString::fromStdString(
      "Quayline is running from a place it cannot stay: " + services_.location.whyNotInstalled() +
      ". From there it cannot start when you log in, so it has to be "
      "installed.\n\nQuayline can install itself for you alone (in "
      "~/.local) and reopen. Nothing else changes."));
  QPushButton* move = prompt.addButton("Move and Reopen", QMessageBox::AcceptRole);
  prompt.addButton("Quit", QMessageBox::RejectRole);
  prompt.setDefaultButton(move);
  prompt.exec();
  if (prompt.clickedButton() != move) {
    quitSoon(services_.quit);
    return true;
  }
  const auto result = services_.location.moveToApplications();
  if (const auto* moved = std::get_if<InstallLocation::Moved>(&result)) {
    services_.relaunch.relaunchFrom(moved->prefix + "/bin/quayline");
  } else {
    moveFailed(std::get<InstallLocation::Failed>(result).message);
  }
  return true;
}

void MovePrompt::moveFailed(const std::string& message) {
  QMessageBox alert(QMessageBox::Warning, "Quayline", "Quayline could not move itself");
  alert.setObjectName("moveFailed");
  alert.setInformativeText(QString::fromStdString(
      message + "\n\nInstall Quayline as its README describes, then open it from there."));
  QPushButton* show = alert.addButton("Show Me Where", QMessageBox::AcceptRole);
  alert.addButton("Quit", QMessageBox::RejectRole);
  alert.setDefaultButton(show);
  alert.exec();
  if (alert.clickedButton() == show) {
    services_.workspace.revealInFileManager(
        {Url::fileURL(services_.location.runningPrefix() + "/bin/quayline")});
  }
  quitSoon(services_.quit);
}

void MovePrompt::relaunchFailed(const std::string& message) {
  QMessageBox alert(QMessageBox::Warning, "Quayline", "Quayline could not reopen itself");
  alert.setObjectName("relaunchFailed");
  alert.setInformativeText(QString::fromStdString(message + "\n\nThis copy keeps running."));
  alert.exec();
}

}  // namespace quayline
