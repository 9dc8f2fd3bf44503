// The composition root: the only place that knows every concrete class.
#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "app/Preferences.h"
#include "model/PinnedItemStore.h"
#include "platform/linux/FilePreferenceDomains.h"
#include "platform/linux/GioFileManager.h"
#include "platform/linux/InstalledBundle.h"
#include "platform/linux/LinuxProcesses.h"
#include "platform/linux/NoWindowAppearance.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/UnavailableLoginItem.h"
#include "platform/linux/XdgPaths.h"
#include "system/SystemDockVisibility.h"

namespace {

constexpr const char* kUsage =
    "usage: quayline [--help | --version]\n"
    "Runs until SIGINT, SIGTERM or SIGHUP, then puts the system dock's settings back.\n";

void printList(const char* title, const std::vector<quayline::PinnedItem>& items) {
  std::cout << title << ":";
  if (items.empty()) {
    std::cout << " (none)";
  }
  std::cout << "\n";
  for (const auto& item : items) {
    std::cout << "  " << item << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "Quayline " << QUAYLINE_VERSION << "\n";
      return 0;
    }
    std::fputs(kUsage, std::strcmp(argv[i], "--help") == 0 ? stdout : stderr);
    return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
  }

  using namespace quayline;
  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName("Quayline");

  SyslogSystemLog log;
  LinuxProcesses processes;
  XdgPaths paths;
  InstalledBundle bundle;
  FilePreferenceDomains domains(FilePreferenceDomains::defaultDirectory());
  GioFileManager files;
  UnavailableLoginItem loginItem(log);
  NoWindowAppearance appearance;

  // A system dock left hidden by a run that never restored it comes back before anything else.
  SystemDockVisibility systemDock(domains, processes, bundle, paths, log);
  systemDock.recoverAtLaunch();

  Preferences preferences(domains, loginItem, appearance);
  PinnedItemStore pins(domains, files, paths, log);
  printList("pinned", pins.pinned());
  printList("trailing", pins.trailing());

  TerminationSignals signals([](int) { QCoreApplication::quit(); });
  systemDock.hideAtLaunch();
  std::cout << "Quayline is running (pid " << processes.currentProcessIdentifier()
            << "); the dock window is not built yet." << std::endl;

  const int status = QCoreApplication::exec();
  systemDock.restoreAtTermination();
  return status;
}
