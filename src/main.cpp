// The composition root: the only place that knows every concrete class.
#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string_view>

#include "app/Preferences.h"
#include "app/TileListing.h"
#include "chrome/ProfilelessChrome.h"
#include "foundation/SerialQueue.h"
#include "model/HiddenApps.h"
#include "model/PinnedItemStore.h"
#include "model/TileStore.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/FilePreferenceDomains.h"
#include "platform/linux/GioFileManager.h"
#include "platform/linux/InstalledBundle.h"
#include "platform/linux/LinuxProcesses.h"
#include "platform/linux/NoWindowAppearance.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/UnavailableLoginItem.h"
#include "platform/linux/XdgPaths.h"
#include "platform/linux/x11/ActivationHistory.h"
#include "platform/linux/x11/X11Accessibility.h"
#include "platform/linux/x11/X11Workspace.h"
#include "platform/linux/x11/XConnection.h"
#include "system/SystemDockVisibility.h"
#include "windows/WindowRegistry.h"

namespace quayline {
namespace {

constexpr const char* kUsage =
    "usage: quayline [--list-tiles [--json]] [--help | --version]\n"
    "  (no options)         run until SIGINT, SIGTERM or SIGHUP, then put the system dock's\n"
    "                       settings back\n"
    "  --list-tiles         print the dock's tiles in order (id, section, label, state) and exit\n"
    "  --list-tiles --json  the same as one JSON array\n";

struct Options {
  bool listTiles = false;
  bool json = false;
};

// What every mode needs: the store of settings, files, processes and the log.
struct Basics {
  SyslogSystemLog log;
  LinuxProcesses processes;
  XdgPaths paths;
  InstalledBundle bundle;
  FilePreferenceDomains domains{FilePreferenceDomains::defaultDirectory()};
  GioFileManager files;
};

// The desktop's applications and windows, read from the X server.
struct Desktop {
  Desktop(Basics& basics, Scheduler& scheduler, std::unique_ptr<x11::XConnection> opened)
      : connection(std::move(opened)),
        history(*connection),
        workspace(*connection, history, entries, scheduler),
        accessibility(*connection, history, entries),
        registry(workspace, accessibility, scheduler, registryQueue, basics.log),
        hiddenApps(basics.domains, workspace),
        chromeInstances(workspace),
        chromeProfiles(registry),
        tiles(std::make_unique<PinnedItemStore>(basics.domains, basics.files, basics.paths,
                                                basics.log),
              workspace, chromeInstances, chromeProfiles, hiddenApps, registry, basics.files) {}

  std::unique_ptr<x11::XConnection> connection;
  x11::ActivationHistory history;
  DesktopEntryIndex entries;
  X11Workspace workspace;
  X11Accessibility accessibility;
  // Enumerates on the caller's thread: a one-shot listing wants the windows before it prints.
  InlineSerialQueue registryQueue{"quayline.window-registry"};
  WindowRegistry registry;
  HiddenApps hiddenApps;
  FirstChromeInstance chromeInstances;
  ProfilelessChrome chromeProfiles;
  TileStore tiles;
};

int listTiles(Basics& basics, bool json) {
  auto connection = x11::XConnection::open(basics.log);
  if (!connection) {
    std::cerr << "quayline: cannot open the X display"
              << (std::getenv("DISPLAY") ? "" : " (DISPLAY is not set)") << "\n";
    return 1;
  }
  QtScheduler scheduler;
  Desktop desktop(basics, scheduler, std::move(connection));
  // The registry's first enumeration reports back through the event loop.
  QCoreApplication::processEvents();
  desktop.tiles.rebuild();
  const auto entries = TileListing::entries(desktop.tiles.tiles(), desktop.tiles.runningBundleIDs(),
                                            desktop.tiles.activeBundleID(),
                                            desktop.chromeProfiles.liveProfileDirectories());
  std::cout << (json ? TileListing::json(entries) : TileListing::text(entries)) << std::flush;
  return 0;
}

int run(Basics& basics) {
  UnavailableLoginItem loginItem(basics.log);
  NoWindowAppearance appearance;

  // A system dock left hidden by a run that never restored it comes back before anything else.
  SystemDockVisibility systemDock(basics.domains, basics.processes, basics.bundle, basics.paths,
                                  basics.log);
  systemDock.recoverAtLaunch();

  Preferences preferences(basics.domains, loginItem, appearance);
  PinnedItemStore pins(basics.domains, basics.files, basics.paths, basics.log);
  for (const auto& [title, items] :
       {std::pair{"pinned", &pins.pinned()}, std::pair{"trailing", &pins.trailing()}}) {
    std::cout << title << ":" << (items->empty() ? " (none)" : "") << "\n";
    for (const auto& item : *items) {
      std::cout << "  " << item << "\n";
    }
  }

  TerminationSignals signals([](int) { QCoreApplication::quit(); });
  systemDock.hideAtLaunch();
  std::cout << "Quayline is running (pid " << basics.processes.currentProcessIdentifier()
            << "); the dock window is not built yet." << std::endl;

  const int status = QCoreApplication::exec();
  systemDock.restoreAtTermination();
  return status;
}

}  // namespace
}  // namespace quayline

int main(int argc, char** argv) {
  quayline::Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--version") {
      std::cout << "Quayline " << QUAYLINE_VERSION << "\n";
      return 0;
    }
    if (argument == "--help") {
      std::fputs(quayline::kUsage, stdout);
      return 0;
    }
    if (argument == "--list-tiles") {
      options.listTiles = true;
    } else if (argument == "--json" && options.listTiles) {
      options.json = true;
    } else {
      std::fprintf(stderr, "quayline: unknown option %s\n%s", argv[i], quayline::kUsage);
      return 2;
    }
  }

  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName("Quayline");
  quayline::Basics basics;
  return options.listTiles ? quayline::listTiles(basics, options.json) : quayline::run(basics);
}
