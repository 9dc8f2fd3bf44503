// The composition root: the only place that knows every concrete class.
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "app/AccessibilityRecovery.h"
#include "app/Preferences.h"
#include "app/SwitcherSettings.h"
#include "app/TileListing.h"
#include "chrome/ChromeAvatarCatalog.h"
#include "chrome/ChromeAvatarImages.h"
#include "chrome/ChromeInstanceService.h"
#include "chrome/ChromeProfileService.h"
#include "dock/AppAttention.h"
#include "dock/BadgeService.h"
#include "dock/DockAutoHide.h"
#include "dock/DockEdgeAction.h"
#include "dock/DockEdgeClickTap.h"
#include "dock/DockEdgeNotice.h"
#include "dock/IconAppearanceMonitor.h"
#include "dock/MenuTracking.h"
#include "dock/SystemAppearance.h"
#include "dock/TileInteraction.h"
#include "dock/TileWindows.h"
#include "foundation/SerialQueue.h"
#include "model/HiddenApps.h"
#include "model/PinnedItemStore.h"
#include "model/Tile.h"
#include "model/TileStore.h"
#include "platform/linux/CanberraUiSounds.h"
#include "platform/linux/ChromeInstallationLocator.h"
#include "platform/linux/DesktopEntryApplicationIdentity.h"
#include "platform/linux/DesktopEntryIconNames.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/FileDistributedNotifications.h"
#include "platform/linux/FilePreferenceDomains.h"
#include "platform/linux/FileSystemFolderListing.h"
#include "platform/linux/FreedesktopTrash.h"
#include "platform/linux/GSettingsDesktopAppearance.h"
#include "platform/linux/GioFileManager.h"
#include "platform/linux/GioFileOperations.h"
#include "platform/linux/InotifyFolderWatch.h"
#include "platform/linux/InstalledBundle.h"
#include "platform/linux/LauncherEntryBadges.h"
#include "platform/linux/LinuxChromeWindowEvidence.h"
#include "platform/linux/LinuxInstallPlace.h"
#include "platform/linux/LinuxPrivacyPermissions.h"
#include "platform/linux/LinuxProcesses.h"
#include "platform/linux/LockFileInstanceGuard.h"
#include "platform/linux/PackageDatabaseUpdater.h"
#include "platform/linux/QtImageDecoding.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/RecentDocumentsMenu.h"
#include "platform/linux/RecentlyUsedFile.h"
#include "platform/linux/StartupTrace.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/WithBadgeDock.h"
#include "platform/linux/XdgAutostartEntry.h"
#include "platform/linux/XdgPaths.h"
#include "platform/linux/x11/ActivationHistory.h"
#include "platform/linux/x11/QtDisplays.h"
#include "platform/linux/x11/RawPointerMotion.h"
#include "platform/linux/x11/RootKeyInterception.h"
#include "platform/linux/x11/SharedPixelSpace.h"
#include "platform/linux/x11/WindowApplications.h"
#include "platform/linux/x11/X11Accessibility.h"
#include "platform/linux/x11/X11DesktopActions.h"
#include "platform/linux/x11/X11KeyboardHook.h"
#include "platform/linux/x11/X11MouseTap.h"
#include "platform/linux/x11/X11PanelWindowing.h"
#include "platform/linux/x11/X11WindowCapture.h"
#include "platform/linux/x11/X11Workspace.h"
#include "platform/linux/x11/XConnection.h"
#include "previews/WindowPreviewController.h"
#include "previews/WindowThumbnailer.h"
#include "settings/IconStyleSettings.h"
#include "settings/PermissionRows.h"
#include "stacks/AppRecentItemsService.h"
#include "stacks/FolderStackController.h"
#include "stacks/TrashService.h"
#include "switcher/SwitcherModel.h"
#include "switcher/WindowSwitcher.h"
#include "system/InstallLocation.h"
#include "system/LoginItemService.h"
#include "system/Relaunch.h"
#include "system/SystemDockVisibility.h"
#include "system/UpdateService.h"
#include "ui/dock/AlertConfirmations.h"
#include "ui/dock/DockDropTarget.h"
#include "ui/dock/DockViewContext.h"
#include "ui/dock/NullSources.h"
#include "ui/icons/IconCache.h"
#include "ui/onboarding/OnboardingWindowController.h"
#include "ui/panel/DockWindowController.h"
#include "ui/permissions/PermissionRowsView.h"
#include "ui/previews/PreviewPanelWindow.h"
#include "ui/settings/SettingsWindowController.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/DockEdgeNoticeDialog.h"
#include "ui/shell/MovePrompt.h"
#include "ui/shell/QtApplicationAppearance.h"
#include "ui/stacks/FolderStackPanelWindow.h"
#include "ui/switcher/SwitcherPanelWindow.h"
#include "windows/WindowRegistry.h"
#include "windows/WindowReservation.h"

namespace quayline {
namespace {

constexpr const char* kUsage =
    "usage: quayline [--list-tiles [--json]] [--install-info] [--help | --version]\n"
    "  (no options)         show the dock on the X display until quit from the status menu or\n"
    "                       by SIGINT, SIGTERM or SIGHUP, then put the system dock's settings\n"
    "                       back\n"
    "  --list-tiles         print the dock's tiles in order (id, section, label, state) and exit\n"
    "  --list-tiles --json  the same as one JSON array\n"
    "  --install-info       print where this copy runs from, the files it found beside it\n"
    "                       and whether it counts as installed, and exit\n";

struct Options {
  bool installInfo = false;
  bool listTiles = false;
  bool json = false;
};

// What every mode needs: the store of settings, files, processes and the log.
struct Basics {
  explicit Basics(SyslogSystemLog& systemLog) : log(systemLog) {}
  SyslogSystemLog& log;
  LinuxProcesses processes;
  XdgPaths paths;
  InstalledBundle bundle;
  FilePreferenceDomains domains{FilePreferenceDomains::defaultDirectory()};
  GioFileManager files;
};

std::optional<std::string> browserEntry(Workspace& workspace) {
  const auto url = workspace.urlForApplication(kChromeBundleIdentifier);
  return url && url->isFileURL() ? std::optional(url->path()) : std::nullopt;
}

// The desktop's applications and windows, read from the X server.
struct Desktop {
  Desktop(Basics& basics, Scheduler& scheduler, std::unique_ptr<x11::XConnection> opened,
          std::unique_ptr<SerialQueue> queue, std::unique_ptr<SerialQueue> profileQueue)
      : connection(std::move(opened)),
        reads(x11::XConnection::open(basics.log, nullptr,
                                     x11::XConnection::Events::destructionsOnly)),
        history(*connection),
        workspace(*connection, history, entries, windowApplications, scheduler),
        accessibility(*connection, reads ? *reads : *connection, history, entries,
                      windowApplications, &pixelSpace),
        registryQueue(std::move(queue)),
        registry(workspace, accessibility, scheduler, *registryQueue, basics.log),
        hiddenApps(basics.domains, workspace),
        chromeInstances(workspace, basics.processes),
        chromeQueue(std::move(profileQueue)),
        chromeInstallation(
            locateChromeInstallation(browserEntry(workspace), basics.paths.homeDirectory())),
        chromeEvidence({scheduler, *chromeQueue, folders, accessibility, workspace},
                       chromeInstallation),
        chromeProfiles({scheduler, *chromeQueue, workspace, registry, chromeInstances, folders,
                        chromeEvidence},
                       chromeInstallation),
        tiles(std::make_unique<PinnedItemStore>(basics.domains, basics.files, basics.paths,
                                                basics.log),
              workspace, chromeInstances, chromeProfiles, hiddenApps, registry, basics.files) {
    chromeProfiles.setAvatars(&avatars);
  }

  std::unique_ptr<x11::XConnection> connection;
  // The window registry reads on its queue through a connection of its own, so the replies it
  // waits for do not wake the main thread.
  std::unique_ptr<x11::XConnection> reads;
  x11::ActivationHistory history;
  DesktopEntryIndex entries;
  x11::WindowApplications windowApplications;
  X11Workspace workspace;
  // Kept current by the displays once they exist.
  x11::SharedPixelSpace pixelSpace{QtDisplays::pixelSpaceNow()};
  X11Accessibility accessibility;
  std::unique_ptr<SerialQueue> registryQueue;
  WindowRegistry registry;
  HiddenApps hiddenApps;
  ChromeInstanceService chromeInstances;
  InotifyFolderWatch folders;
  std::unique_ptr<SerialQueue> chromeQueue;
  ChromeInstallation chromeInstallation;
  // Linux browsers do not name the profile in their titles: startup ids and the profiles'
  // session files tell instead.
  LinuxChromeWindowEvidence chromeEvidence;
  ChromeProfileService chromeProfiles;
  // The profiles' pictures: account pictures in the profile folders, else the built-in avatars of
  // the browser's resource pack, read on first use.
  QtImageDecoding imageDecoding;
  ChromeAvatarCatalog avatarCatalog{
      {"/usr/lib/chromium/chrome_200_percent.pak", "/opt/google/chrome/chrome_200_percent.pak"},
      imageDecoding};
  ChromeAvatarImages avatars{chromeProfiles.installation().supportDirectory, avatarCatalog,
                             imageDecoding};
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
  // Enumerates on the caller's thread: a one-shot listing wants the windows before it prints.
  Desktop desktop(
      basics, scheduler, std::move(connection),
      std::make_unique<InlineSerialQueue>("quayline.window-registry"),
      std::make_unique<InlineSerialQueue>(std::string(ChromeProfileService::queueLabel)));
  // The registry's first enumeration reports back through the event loop; the profiles' session
  // files are read once the profiles are known, and report back in a second round.
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  desktop.tiles.rebuild();
  const auto entries = TileListing::entries(desktop.tiles.tiles(), desktop.tiles.runningBundleIDs(),
                                            desktop.tiles.activeBundleID(),
                                            desktop.chromeProfiles.liveProfileDirectories());
  std::cout << (json ? TileListing::json(entries) : TileListing::text(entries)) << std::flush;
  return 0;
}

// What the program found of its own installation, from its own location.
int installInfo(Basics& basics) {
  LinuxInstallPlace place;
  InstallLocation location(place);
  const auto text = [](const std::optional<PropertyValue>& value) {
    const std::string* string = value ? value->string() : nullptr;
    return string ? *string : std::string("(missing)");
  };
  std::cout
      << "prefix: " << location.runningPrefix() << "\n"
      << "placement: " << toString(location.placement()) << "\n"
      << "Keelguard: "
      << basics.bundle.auxiliaryExecutable(SystemDockVisibility::watchdogName).value_or("(missing)")
      << "\n"
      << "identifier: " << text(basics.bundle.infoValue("CFBundleIdentifier")) << "\n"
      << "version: " << text(basics.bundle.infoValue("CFBundleShortVersionString")) << "\n";
  return 0;
}

// Qt ends the process with exit() when its X connection breaks, before the event loop returns;
// the termination path then runs from this exit handler instead.
SystemDockVisibility* restoreAtExit = nullptr;
void restoreOnExit() {
  if (auto* systemDock = std::exchange(restoreAtExit, nullptr)) {
    systemDock->restoreAtTermination();
  }
}

// The services the dock's views draw from.
// Window previews: the windows' images, the panel that shows them and the controller that decides
// when it does.
struct Previews {
  Previews(Preferences& preferences, Scheduler& scheduler, Desktop& desktop, Basics& basics,
           Displays& displays, PanelWindowing& windowing, PointerMotion& input, IconCache& icons,
           SystemAppearance& appearance, MenuTracking& menus)
      : capture(*desktop.connection, &desktop.pixelSpace),
        thumbnails(capture, scheduler, lanePointers(), basics.log),
        panel({windowing, input, thumbnails, icons, appearance, preferences}),
        controller({preferences, desktop.registry,
                    tileWindows(desktop.registry, desktop.chromeProfiles), desktop.workspace,
                    desktop.accessibility, displays, menus, scheduler, thumbnails, panel}) {}

  // The lanes finish what they run before the thumbnailer and the capture they call go away.
  ~Previews() { lanes.clear(); }

  std::vector<SerialQueue*> lanePointers() {
    std::vector<SerialQueue*> result;
    for (std::size_t i = 0; i < WindowThumbnailer::maximumCapturesInFlight; ++i) {
      lanes.push_back(std::make_unique<ThreadSerialQueue>(
          std::string(WindowThumbnailer::laneLabel) + "." + std::to_string(i + 1)));
      result.push_back(lanes.back().get());
    }
    return result;
  }

  X11WindowCapture capture;
  std::vector<std::unique_ptr<ThreadSerialQueue>> lanes;
  WindowThumbnailer thumbnails;
  PreviewPanelWindow panel;
  WindowPreviewController controller;
};

// Folder stacks: folders listed on their own queue, shown in one floating panel.
struct Stacks {
  Stacks(Preferences& preferences, Scheduler& scheduler, Desktop& desktop, Basics& basics,
         Displays& displays, PanelWindowing& windowing, PointerMotion& input, IconCache& icons,
         SystemAppearance& appearance)
      : styles(basics.domains),
        keys(*desktop.connection, basics.log),
        panel({windowing, icons, appearance, preferences}),
        controller(
            {scheduler, queue, listing, styles, desktop.workspace, displays, input, keys, panel}) {}

  FileSystemFolderListing listing;
  FolderStackStyles styles;
  x11::RootKeyInterception keys;
  FolderStackPanelWindow panel;
  // Finishes a listing in flight before the listing it calls goes away.
  ThreadSerialQueue queue{std::string(FolderStackController::queueLabel)};
  FolderStackController controller;
};

struct Views {
  Views(Preferences& preferences, Scheduler& scheduler, Desktop& desktop, Basics& basics,
        Displays& displays, BadgeSource& badges, PanelWindowing& windowing, PointerMotion& input)
      : trashFolders(basics.paths.applicationSupportDirectory() + "/Trash", getuid(),
                     desktop.workspace),
        trash(trashFolders, sounds, basics.domains, scheduler, trashQueue),
        iconStyle(desktopAppearance, scheduler),
        icons(iconStyle, desktop.workspace, basics.files, iconNames),
        appearance(preferences, desktopAppearance),
        attention(desktop.workspace, displays, scheduler, basics.log),
        recentlyUsed(RecentlyUsedFile::defaultPath(), basics.log),
        recentMenus(desktop.accessibility, desktop.workspace, desktop.entries, recentlyUsed),
        recentItems(desktop.workspace, recentMenus, scheduler, basics.files, basics.paths),
        stacks(preferences, scheduler, desktop, basics, displays, windowing, input, icons,
               appearance),
        actions{desktop.workspace,
                desktop.accessibility,
                desktop.registry,
                desktop.chromeInstances,
                desktop.chromeProfiles,
                desktop.tiles,
                desktop.hiddenApps,
                preferences,
                recentItems,
                displays,
                trash,
                confirmations,
                &stacks.controller},
        interaction(actions),
        previews(preferences, scheduler, desktop, basics, displays, windowing, input, icons,
                 appearance, menus),
        context{desktop.tiles,
                attention,
                preferences,
                icons,
                appearance,
                desktop.registry,
                desktop.chromeProfiles,
                displays,
                badges,
                trash,
                previews.controller,
                interaction,
                menus} {}

  // The queue finishes its work before the trash folders it reads go away.
  FreedesktopTrash trashFolders;
  CanberraUiSounds sounds;
  ThreadSerialQueue trashQueue{std::string(TrashService::queueLabel)};
  TrashService trash;
  AlertConfirmations confirmations;
  GSettingsDesktopAppearance desktopAppearance;
  DesktopEntryIconNames iconNames;
  IconAppearanceMonitor iconStyle;
  IconCache icons;
  SystemAppearance appearance;
  AppAttention attention;
  // Applications' recent documents, read from the desktop's recently-used list.
  RecentlyUsedFile recentlyUsed;
  RecentDocumentsMenu recentMenus;
  AppRecentItemsService recentItems;
  MenuTracking menus;
  Stacks stacks;
  TileActionServices actions;
  TileInteraction interaction;
  Previews previews;
  DockViewContext context;
};

// The keyboard window switcher: the shortcut on the X keyboard, the candidates, the panel, and
// the window images it shares with the previews.
struct Switcher {
  Switcher(Preferences& preferences, Scheduler& scheduler, Desktop& desktop, Basics& basics,
           Displays& displays, PanelWindowing& windowing, Views& views)
      : hook(*desktop.connection, basics.log),
        model(desktop.registry, desktop.workspace, desktop.accessibility, scheduler, recencyQueue),
        panel({windowing, model, views.previews.thumbnails, views.icons, views.appearance,
               preferences}),
        switcher({hook, model, desktop.workspace, desktop.accessibility, displays,
                  views.previews.thumbnails, views.previews.capture, panel, scheduler, basics.log}),
        settings(preferences, switcher) {}

  x11::X11KeyboardHook hook;
  // Outlives the model, whose reads on it hold the model weakly.
  ThreadSerialQueue recencyQueue{std::string(SwitcherModel::queueLabel)};
  SwitcherModel model;
  SwitcherPanelWindow panel;
  WindowSwitcher switcher;
  SwitcherSettings settings;
};

// Badge counts applications publish on the session bus, read as the system dock's tiles.
struct Badges {
  Badges(Desktop& desktop, Scheduler& scheduler, SystemLog& log)
      : launcherEntries(log),
        workspace(desktop.workspace, launcherEntries),
        service(workspace, launcherEntries, identity, scheduler) {}

  LauncherEntryBadges launcherEntries;
  WithBadgeDock workspace;
  DesktopEntryApplicationIdentity identity;
  BadgeService service;
};

// An environment switch: set to "1".
bool envFlag(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && std::string_view(value) == "1";
}

// The desktop session is Wayland (an X server there is Xwayland), whatever the server says.
bool waylandSession() {
  const char* type = std::getenv("XDG_SESSION_TYPE");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (type != nullptr && std::string_view(type) == "wayland") ||
         (wayland != nullptr && *wayland != '\0');
}

int run(Basics& basics, InstanceGuard& instance, StartupTrace& trace) {
  auto connection = x11::XConnection::open(basics.log);
  trace.mark("x connection");
  if (!connection) {
    std::cerr << "quayline: cannot open the X display"
              << (std::getenv("DISPLAY") ? "" : " (DISPLAY is not set)")
              << "; the dock needs an X11 desktop\n";
    return 1;
  }
  QtScheduler scheduler;
  // Only an installed copy starts at login; the entry names the running copy's program.
  LinuxInstallPlace installPlace;
  InstallLocation installLocation(installPlace);
  XdgAutostartEntry autostart(XdgAutostartEntry::defaultPath());
  LoginItemService loginItem(autostart, installLocation, basics.log);
  QtApplicationAppearance windowAppearance;

  // A system dock left hidden by a run that never restored it comes back before anything else.
  SystemDockVisibility systemDock(basics.domains, basics.processes, basics.bundle, basics.paths,
                                  basics.log);
  systemDock.recoverAtLaunch();
  // The dock is always drawn along the bottom: a user whose system dock sits on a side edge
  // agrees to that first, or nothing starts.
  if (!DockEdgeNotice::runIfNeeded(basics.domains, basics.processes, basics.log,
                                   showDockEdgeNotice)) {
    return 0;
  }
  trace.mark("system dock");

  Preferences preferences(basics.domains, loginItem, windowAppearance);
  trace.mark("preferences");
  x11::XConnection& x = *connection;
  Desktop desktop(
      basics, scheduler, std::move(connection),
      std::make_unique<ThreadSerialQueue>("quayline.window-registry"),
      std::make_unique<ThreadSerialQueue>(std::string(ChromeProfileService::queueLabel)));
  trace.mark("desktop");
  desktop.tiles.rebuild();
  trace.mark("tiles");
  QtDisplays displays(x, &desktop.pixelSpace);
  x11::X11PanelWindowing windowing(x, &desktop.pixelSpace);
  FileDistributedNotifications notifications(basics.domains.directory());
  // Settings and pinned lists another program wrote (quayline-defaults, quayline-pins, a second
  // Quayline window) apply at once.
  const Subscription settingsFile =
      notifications.observe(FileDistributedNotifications::applicationPreferencesChanged, [&] {
        preferences.reload();
        desktop.tiles.reloadPins();
      });
  // Every window-system call the dock makes is bounded, so a hung application cannot stall it.
  desktop.accessibility.setMessagingTimeout(1.0);
  trace.mark("displays");
  Badges badges(desktop, scheduler, basics.log);
  trace.mark("badges");
  x11::RawPointerMotion pointerMotion(x, scheduler, basics.log);
  Views views(preferences, scheduler, desktop, basics, displays, badges.service, windowing,
              pointerMotion);
  trace.mark("views");
  Switcher switcher(preferences, scheduler, desktop, basics, displays, windowing, views);
  WindowReservation reservation(desktop.registry, preferences, displays, desktop.accessibility,
                                basics.processes);
  DockAutoHide autoHide(preferences, displays, scheduler, pointerMotion);
  // Clicks beside the dock's ends: the tap decides on a thread and connection of its own.
  x11::X11DesktopActions desktopActions(x, [&switcher] { switcher.switcher.toggleOverview(); });
  DockEdgeActions edgeActions(desktopActions, basics.domains, basics.log);
  x11::X11MouseTap mouseTap(&desktop.pixelSpace);
  DockEdgeClickTap edgeTap(mouseTap, displays, scheduler, basics.log);
  edgeTap.perform = [&edgeActions](DockEdgeAction action) { edgeActions.perform(action); };
  edgeTap.pressed = [&switcher](Point location) { switcher.switcher.pressedAt(location); };
  // Dropped files move on a queue of their own, which finishes the batch in hand before the
  // operations and the scheduler it uses go away.
  GioFileOperations fileOperations;
  ThreadSerialQueue fileQueue("quayline.file-operations");
  DockDropServices drops{desktop.workspace, fileOperations, fileQueue, views.trash, basics.log};

  // Privacy permissions, tested against this X server and session; the settings window's
  // Permissions pane draws its rows from `permissionRows`.
  LinuxPrivacyPermissions permissions(x, {basics.paths.applicationSupportDirectory() + "/Trash",
                                          "/.flatpak-info", waylandSession()});
  PermissionRows permissionRows(permissions);

  DockWindowServices docks{desktop.tiles, preferences,      basics.domains,
                           displays,      desktop.registry, desktop.chromeProfiles,
                           notifications, windowing,        scheduler,
                           views.menus,   views.context,    {},
                           &drops};
  // A new copy (after a move, or the accessibility recovery) replaces this one only once it runs.
  Relaunch relaunch({basics.processes, instance, systemDock, scheduler,
                     [] { QCoreApplication::quit(); }, MovePrompt::relaunchFailed},
                    installLocation.runningPrefix() + "/bin/quayline");
  // Onboarding's launch step presents it, in place of its own window (`presentIfNeeded`).
  MovePrompt movePrompt({installLocation, relaunch, desktop.workspace,
                         [] { QCoreApplication::quit(); }, !envFlag("QUAYLINE_NO_MOVE_PROMPT")});
  AccessibilityRecovery recovery(basics.processes, desktop.workspace, basics.bundle, relaunch);
  OnboardingWindowController onboarding({permissions, basics.domains, scheduler, recovery},
                                        [&movePrompt] { return movePrompt.presentIfNeeded(); });
  PackageDatabaseUpdater packages(basics.processes,
                                  installLocation.runningPrefix() + "/bin/quayline");
  UpdateService updates(packages, QUAYLINE_VERSION);
  const char* currentDesktop = std::getenv("XDG_CURRENT_DESKTOP");
  IconStyleSettings iconStyle(desktop.workspace, currentDesktop ? currentDesktop : "");
  SettingsWindowController settings(
      {preferences, basics.domains, notifications, desktop.hiddenApps, edgeActions, iconStyle,
       basics.bundle, views.confirmations, [] { QCoreApplication::quit(); }},
      [&permissionRows, &scheduler](QWidget* parent) -> QWidget* {
        return new PermissionRowsView(permissionRows, scheduler, parent);
      });
  AppDelegate delegate(
      {preferences, displays, scheduler, systemDock, docks, reservation, autoHide, badges.service,
       switcher.switcher, switcher.settings, edgeTap, [] { QCoreApplication::quit(); },
       [&onboarding] { onboarding.showIfNeeded(); }, &loginItem, &updates, &settings});
  // Qt drops a quit asked for before its event loop runs, as a signal can be while the launch
  // shows the move prompt: remember it, and end the prompt's own loop by closing the prompt.
  bool terminating = false;
  TerminationSignals signals([&terminating](int) {
    terminating = true;
    if (QWidget* modal = QApplication::activeModalWidget()) {
      modal->close();
    }
    QCoreApplication::quit();
  });
  // Without its X server the dock has nowhere to be: end in order.
  const Subscription lost = x.observeLoss([] { QCoreApplication::quit(); });

  trace.mark("services");

  restoreAtExit = &systemDock;
  std::atexit(restoreOnExit);
  delegate.applicationDidFinishLaunching();
  trace.mark("launched");
  trace.watchFirstPaint();
  std::cout << "Quayline is running (pid " << basics.processes.currentProcessIdentifier() << ")."
            << std::endl;
  const int status = terminating ? 0 : QCoreApplication::exec();
  restoreAtExit = nullptr;
  delegate.applicationWillTerminate();
  return status;
}

}  // namespace
}  // namespace quayline

int main(int argc, char** argv) {
  quayline::StartupTrace trace(std::getenv("QUAYLINE_STARTUP_TRACE"));
  trace.mark("main");
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
    if (argument == "--install-info") {
      options.installInfo = true;
    } else if (argument == "--list-tiles") {
      options.listTiles = true;
    } else if (argument == "--json" && options.listTiles) {
      options.json = true;
    } else {
      std::fprintf(stderr, "quayline: unknown option %s\n%s", argv[i], quayline::kUsage);
      return 2;
    }
  }

  quayline::SyslogSystemLog log;
  if (options.installInfo) {
    quayline::Basics basics(log);
    return quayline::installInfo(basics);
  }
  if (options.listTiles) {
    quayline::Basics basics(log);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("Quayline");
    return quayline::listTiles(basics, options.json);
  }
  // Widgets need a display; without one the X connection's check below explains the failure
  // instead of the toolkit aborting.
  const char* display = std::getenv("DISPLAY");
  if (!display && !std::getenv("QT_QPA_PLATFORM")) {
    std::cerr << "quayline: DISPLAY is not set; the dock needs an X11 desktop\n";
    return 1;
  }
  // A second start (a login item and a manual one, a double click) steps aside before it reads
  // a setting or touches the system dock's snapshot, which belong to the dock already running.
  quayline::LockFileInstanceGuard instance(
      quayline::LockFileInstanceGuard::defaultRuntimeDirectory(), display ? display : "", log);
  if (instance.claim() == quayline::InstanceGuard::Claim::heldElsewhere) {
    const auto holder = instance.holder();
    std::cout << "Quayline already runs on display " << (display ? display : "(none)")
              << (holder ? " (pid " + std::to_string(*holder) + ")" : std::string()) << ".\n";
    return 0;
  }
  quayline::Basics basics(log);
  trace.mark("basics");
  QApplication application(argc, argv);
  QApplication::setApplicationName("Quayline");
  QApplication::setQuitOnLastWindowClosed(false);
  trace.mark("qt");
  return quayline::run(basics, instance, trace);
}
