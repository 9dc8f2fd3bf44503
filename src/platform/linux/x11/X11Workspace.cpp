#include "platform/linux/x11/X11Workspace.h"

#include <unistd.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>

#include "foundation/Signal.h"
#include "platform/linux/DesktopEntryIdentity.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/GioLauncher.h"
#include "platform/linux/x11/ActivationHistory.h"
#include "platform/linux/x11/ProcessInfo.h"
#include "platform/linux/x11/StartupNotification.h"
#include "platform/linux/x11/WindowApplications.h"
#include "platform/linux/x11/WindowCommands.h"
#include "platform/linux/x11/WindowIcon.h"
#include "platform/linux/x11/WindowQuery.h"
#include "platform/linux/x11/XConnection.h"

namespace quayline {

using namespace x11;
using Kind = WorkspaceNotification::Kind;

namespace {

constexpr auto kReadTimeout = std::chrono::seconds(2);
// A startup sequence we began and its application never ended is closed after this long, so
// other listeners stop showing it as launching.
constexpr Scheduler::Seconds kStartupTimeout{20.0};
constexpr std::uint32_t kClientEvents =
    XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
constexpr unsigned kClientFields = kPid | kClass | kLaunchHints | kType | kState | kMapState;
// Launches remembered for matching their windows to the entry they came from.
constexpr std::size_t kRememberedLaunches = 32;
// Applications that share a process with an earlier one: ids above the kernel's largest process
// id and below the connections' pseudo ids (WindowQuery.h).
constexpr ProcessId kFirstSharedProcessId = 0x30000000;

Deadline deadline() {
  return std::chrono::steady_clock::now() + kReadTimeout;
}

// One managed window, as far as grouping and notifications need it.
struct Client {
  ProcessId process = 0;  // its _NET_WM_PID, or its connection's pseudo id
  ProcessId app = 0;      // the running application it belongs to
  std::optional<WmClass> wmClass;
  std::string applicationId;
  std::string desktopFile;
  std::string startupId;
  std::optional<DesktopEntry> entry;
  bool special = false;  // a dock or the desktop: never makes an application regular
  bool hidden = false;
  bool viewable = false;
  bool dirty = false;
};

struct App {
  RunningApp info;
  ProcessId process = 0;
  std::vector<xcb_window_t> windows;  // in the client list's order
};

}  // namespace

struct X11Workspace::Impl {
  Impl(XConnection& connection_, ActivationHistory& history_, DesktopEntryIndex& entries_,
       WindowApplications& windowApplications_, Scheduler& scheduler_)
      : connection(connection_),
        history(history_),
        entries(entries_),
        windowApplications(windowApplications_),
        scheduler(scheduler_),
        launcher(GioLauncher::Hooks{
            [this](const StartupRequest& request) { return beginStartup(request); },
            [this](const std::string& id) { endStartup(id); }}) {
    connection.selectInput(connection.root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
    events = connection.listen([this](const xcb_generic_event_t& event) { handle(event); });
    sync(/*initial=*/true);
  }

  ~Impl() {
    if (messageWindow != XCB_WINDOW_NONE) {
      xcb_destroy_window(connection.raw(), messageWindow);
      connection.flush();
    }
  }

  // --- Reading the desktop -------------------------------------------------------------------

  void handle(const xcb_generic_event_t& event) {
    switch (event.response_type & ~0x80) {
      case XCB_PROPERTY_NOTIFY: {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (notify.window == connection.root()) {
          if (notify.atom == connection.atom(Atom::_NET_CLIENT_LIST) ||
              notify.atom == connection.atom(Atom::_NET_ACTIVE_WINDOW) ||
              notify.atom == connection.atom(Atom::_NET_CURRENT_DESKTOP)) {
            scheduleSync();
          }
          return;
        }
        if (notify.atom == connection.atom(Atom::_NET_WM_STATE) ||
            notify.atom == connection.atom(Atom::_NET_WM_WINDOW_TYPE) ||
            notify.atom == connection.atom(Atom::_NET_WM_PID) || notify.atom == XCB_ATOM_WM_CLASS ||
            notify.atom == connection.atom(Atom::_GTK_APPLICATION_ID) ||
            notify.atom == connection.atom(Atom::_KDE_NET_WM_DESKTOP_FILE)) {
          markDirty(notify.window);
        }
        return;
      }
      case XCB_MAP_NOTIFY:
        markDirty(reinterpret_cast<const xcb_map_notify_event_t&>(event).window);
        return;
      case XCB_UNMAP_NOTIFY:
        markDirty(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window);
        return;
      case XCB_DESTROY_NOTIFY: {
        const xcb_window_t window =
            reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window;
        if (clients.contains(window)) {
          // The server may soon hand the same id to another client's window.
          destroyed.insert(window);
          windowApplications.forget(window);
          scheduleSync();
        }
        return;
      }
      case XCB_CLIENT_MESSAGE:
        handleStartupMessage(reinterpret_cast<const xcb_client_message_event_t&>(event));
        return;
      default:
        return;
    }
  }

  void markDirty(xcb_window_t window) {
    if (auto found = clients.find(window); found != clients.end()) {
      found->second.dirty = true;
      scheduleSync();
    }
  }

  void scheduleSync() {
    if (syncPosted) {
      return;
    }
    syncPosted = true;
    scheduler.post([weak = std::weak_ptr<int>(alive), this] {
      if (weak.lock()) {
        sync(false);
      }
    });
  }

  void sync(bool initial) {
    syncPosted = false;
    if (connection.isLost()) {
      return;
    }
    WindowQuery rootQuery(connection, deadline());
    rootQuery.requestRoot(kClientList | kActiveWindow | kCurrentDesktop);
    rootQuery.collect();
    const RootFacts& root = rootQuery.root();
    if (!root.clients) {
      return;  // the read failed; the next event or refresh tries again
    }
    // Destructions reported while the list was read must be known before it is used.
    connection.dispatchPendingEvents();
    std::vector<xcb_window_t> gone;
    for (const xcb_window_t window : destroyed) {
      if (clients.erase(window) > 0) {
        gone.push_back(window);
      }
    }
    destroyed.clear();

    // Selecting events before reading means no change after the read goes unnoticed.
    WindowQuery query(connection, deadline());
    std::map<xcb_window_t, std::size_t> reads;
    for (const xcb_window_t window : *root.clients) {
      auto known = clients.find(window);
      if (known == clients.end()) {
        connection.selectInput(window, kClientEvents);
        reads[window] = query.requestWindow(window, kClientFields);
      } else if (known->second.dirty) {
        reads[window] = query.requestWindow(window, kClientFields);
      }
    }
    query.collect();

    std::map<xcb_window_t, Client> next;
    std::vector<xcb_window_t> order;
    for (const xcb_window_t window : *root.clients) {
      if (auto read = reads.find(window); read != reads.end()) {
        const WindowFacts& facts = query.window(read->second);
        if (!facts.exists) {
          continue;  // gone since the client list was written
        }
        const auto known = clients.find(window);
        next[window] = clientFrom(window, facts, known == clients.end() ? nullptr : &known->second);
      } else {
        next[window] = clients[window];
      }
      order.push_back(window);
    }
    for (const auto& [window, client] : clients) {
      if (!next.contains(window)) {
        connection.forgetWindow(window);
        gone.push_back(window);
      }
    }
    clients = std::move(next);
    clientOrder = std::move(order);
    assignApplications();

    std::vector<App> previous = std::move(apps);
    apps = group(previous);
    const std::optional<ProcessId> previousActive = activeApp;
    activeApp.reset();
    if (root.activeWindow) {
      if (auto found = clients.find(*root.activeWindow); found != clients.end()) {
        activeApp = found->second.app;
      }
    }
    const std::optional<std::uint32_t> previousDesktop = currentDesktop;
    currentDesktop = root.currentDesktop;
    publishApplications();
    if (!initial) {
      notify(previous, previousActive, previousDesktop);
    }
    reportWindows(gone, root.activeWindow);
  }

  void reportWindows(const std::vector<xcb_window_t>& gone, std::optional<xcb_window_t> nowActive) {
    for (const xcb_window_t window : gone) {
      windowFacts.emit({WindowLaunchFacts::Event::Kind::destroyed, window, 0, {}});
    }
    if (nowActive == activeWindow) {
      return;
    }
    activeWindow = nowActive;
    if (nowActive) {
      if (auto found = clients.find(*nowActive); found != clients.end()) {
        windowFacts.emit(
            {WindowLaunchFacts::Event::Kind::activated, *nowActive, found->second.app, {}});
      }
    }
  }

  Client clientFrom(xcb_window_t window, const WindowFacts& facts, const Client* before) {
    Client client;
    client.process = applicationProcessId(facts, window, connection.resourceIdMask());
    client.wmClass = facts.wmClass;
    client.applicationId = facts.applicationId;
    client.desktopFile = facts.desktopFile;
    client.startupId = facts.startupId;
    // A window keeps the entry it was matched to while it tells nothing new: the launch that
    // identified it may be forgotten since.
    if (before != nullptr && sameEvidence(*before, client)) {
      client.entry = before->entry;
    } else {
      client.entry = entries.match(identityOf(client));
    }
    if (facts.types) {
      for (const xcb_atom_t type : *facts.types) {
        if (type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_DOCK) ||
            type == connection.atom(Atom::_NET_WM_WINDOW_TYPE_DESKTOP)) {
          client.special = true;
          break;
        }
      }
    }
    client.hidden = facts.hasState(connection.atom(Atom::_NET_WM_STATE_HIDDEN));
    client.viewable = facts.viewable;
    return client;
  }

  static bool sameEvidence(const Client& a, const Client& b) {
    const auto classOf = [](const Client& c) {
      return c.wmClass ? std::pair(c.wmClass->instance, c.wmClass->className)
                       : std::pair(std::string(), std::string());
    };
    return a.process == b.process && classOf(a) == classOf(b) &&
           a.applicationId == b.applicationId && a.desktopFile == b.desktopFile &&
           a.startupId == b.startupId;
  }

  ClientIdentity identityOf(const Client& client) const {
    ClientIdentity identity;
    if (client.wmClass) {
      identity.instance = client.wmClass->instance;
      identity.className = client.wmClass->className;
    }
    identity.executable = ProcessInfo::executableName(client.process).value_or("");
    identity.applicationId = client.applicationId;
    identity.desktopFile = client.desktopFile;
    if (const std::string* path = launchedEntry(client)) {
      identity.launchedEntry = *path;
    }
    return identity;
  }

  // The entry this program launched the window from: by the startup id the window carries, else
  // by its process.
  const std::string* launchedEntry(const Client& client) const {
    for (const auto& [key, path] : launches) {
      if ((!client.startupId.empty() && key == client.startupId) ||
          key == "pid:" + std::to_string(client.process)) {
        return &path;
      }
    }
    return nullptr;
  }

  void rememberLaunch(std::string key, std::string path) {
    launches.emplace_back(std::move(key), std::move(path));
    if (launches.size() > kRememberedLaunches) {
      launches.pop_front();
    }
  }

  // Groups windows into applications: a process's windows by the entry they matched, so one
  // process can run several applications; windows that matched none go with the process's
  // first application. An application keeps its id while it has windows; the first of a
  // process gets the process's id, later ones pseudo ids.
  void assignApplications() {
    using Key = std::pair<ProcessId, std::string>;  // process, entry path
    std::map<ProcessId, std::string> firstEntry;
    for (const xcb_window_t window : clientOrder) {
      const Client& client = clients[window];
      if (client.entry && !firstEntry.contains(client.process)) {
        firstEntry[client.process] = client.entry->path;
      }
    }
    const auto keyOf = [&](const Client& client) {
      if (client.entry) {
        return Key{client.process, client.entry->path};
      }
      const auto first = firstEntry.find(client.process);
      return Key{client.process, first == firstEntry.end() ? std::string() : first->second};
    };
    std::map<Key, ProcessId> next;
    std::set<ProcessId> taken;
    for (const xcb_window_t window : clientOrder) {
      const Key key = keyOf(clients[window]);
      if (auto kept = applicationIds.find(key); kept != applicationIds.end()) {
        next[key] = kept->second;
        taken.insert(kept->second);
      }
    }
    for (const xcb_window_t window : clientOrder) {
      Client& client = clients[window];
      const Key key = keyOf(client);
      if (!next.contains(key)) {
        ProcessId id = client.process;
        while (taken.contains(id)) {
          id = nextSharedProcessId++;
        }
        next[key] = id;
        taken.insert(id);
      }
      client.app = next[key];
    }
    applicationIds = std::move(next);
  }

  void publishApplications() {
    std::map<xcb_window_t, ProcessId> applicationOf;
    for (const auto& [window, client] : clients) {
      applicationOf[window] = client.app;
    }
    std::map<ProcessId, std::string> names;
    for (const App& app : apps) {
      if (app.info.localizedName) {
        names[app.info.pid] = *app.info.localizedName;
      }
    }
    windowApplications.publish(std::move(applicationOf), std::move(names));
  }

  std::vector<App> group(const std::vector<App>& previous) {
    std::map<ProcessId, std::vector<xcb_window_t>> windowsOf;
    std::vector<ProcessId> firstSeen;
    for (const xcb_window_t window : clientOrder) {
      const ProcessId pid = clients[window].app;
      if (!windowsOf.contains(pid)) {
        firstSeen.push_back(pid);
      }
      windowsOf[pid].push_back(window);
    }
    std::vector<App> result;
    // Applications keep the place they had; new ones follow in the order their first window
    // was mapped.
    for (const App& app : previous) {
      if (auto found = windowsOf.find(app.info.pid); found != windowsOf.end()) {
        App kept = app;
        kept.windows = std::move(found->second);
        windowsOf.erase(found);
        result.push_back(std::move(kept));
      }
    }
    for (const ProcessId pid : firstSeen) {
      if (auto found = windowsOf.find(pid); found != windowsOf.end()) {
        App created;
        created.windows = std::move(found->second);
        created.process = clients[created.windows.front()].process;
        created.info = identify(pid, created.process, created.windows);
        result.push_back(std::move(created));
      }
    }
    for (App& app : result) {
      update(app);
    }
    return result;
  }

  RunningApp identify(ProcessId pid, ProcessId process, const std::vector<xcb_window_t>& windows) {
    RunningApp info;
    info.pid = pid;
    std::optional<WmClass> wmClass;
    std::optional<DesktopEntry> entry;
    for (const xcb_window_t window : windows) {
      const Client& client = clients[window];
      if (!wmClass && client.wmClass) {
        wmClass = client.wmClass;
      }
      if (!entry && client.entry) {
        entry = client.entry;
      }
    }
    const std::string executable = ProcessInfo::executableName(process).value_or("");
    if (entry) {
      info.bundleIdentifier = entry->bundleIdentifier;
      info.localizedName = entry->name;
      info.bundleURL = Url::fileURL(entry->path);
    } else if (wmClass && !wmClass->className.empty()) {
      info.bundleIdentifier = wmClass->className;
      info.localizedName = wmClass->className;
    } else if (!executable.empty()) {
      info.bundleIdentifier = executable;
      info.localizedName = executable;
    }
    // Clients without a process of their own were launched when we first saw them.
    info.launchDate = ProcessInfo::startTime(process);
    if (!info.launchDate) {
      info.launchDate = scheduler.wallClock();
    }
    return info;
  }

  void update(App& app) {
    bool anyRegular = false;
    bool allHidden = true;
    bool finished = false;
    for (const xcb_window_t window : app.windows) {
      const Client& client = clients[window];
      finished = finished || client.viewable || client.hidden;
      if (client.special) {
        continue;
      }
      anyRegular = true;
      allHidden = allHidden && client.hidden;
    }
    if (app.info.pid == ::getpid()) {
      app.info.activationPolicy = ActivationPolicy::accessory;
    } else {
      app.info.activationPolicy =
          anyRegular ? ActivationPolicy::regular : ActivationPolicy::accessory;
    }
    app.info.isHidden = anyRegular && allHidden;
    app.info.isFinishedLaunching = finished;
  }

  void notify(const std::vector<App>& previous, std::optional<ProcessId> previousActive,
              std::optional<std::uint32_t> previousDesktop) {
    std::vector<WorkspaceNotification> pending;
    for (const App& old : previous) {
      if (!findApp(old.info.pid)) {
        pending.push_back({Kind::didTerminateApplication, old.info});
      }
    }
    for (const App& app : apps) {
      const auto old = std::find_if(previous.begin(), previous.end(),
                                    [&](const App& p) { return p.info.pid == app.info.pid; });
      if (old == previous.end()) {
        pending.push_back({Kind::didLaunchApplication, app.info});
        endStartupOf(app.process);
      } else if (!old->info.isHidden && app.info.isHidden) {
        pending.push_back({Kind::didHideApplication, app.info});
      } else if (old->info.isHidden && !app.info.isHidden) {
        pending.push_back({Kind::didUnhideApplication, app.info});
      }
    }
    if (activeApp && activeApp != previousActive) {
      if (const App* app = findApp(*activeApp)) {
        pending.push_back({Kind::didActivateApplication, app->info});
      }
    }
    if (currentDesktop && previousDesktop && currentDesktop != previousDesktop) {
      pending.push_back({Kind::activeSpaceDidChange, std::nullopt});
    }
    for (const WorkspaceNotification& notification : pending) {
      observers.emit(notification);
    }
  }

  const Client& clientOf(xcb_window_t window) const {
    static const Client none;
    const auto found = clients.find(window);
    return found == clients.end() ? none : found->second;
  }

  const App* findApp(ProcessId pid) const {
    for (const App& app : apps) {
      if (app.info.pid == pid) {
        return &app;
      }
    }
    return nullptr;
  }

  // --- Acting on applications ----------------------------------------------------------------

  std::optional<xcb_window_t> mainWindow(const App& app) const {
    if (auto recent = history.mostRecent(app.windows)) {
      return recent;
    }
    for (auto it = app.windows.rbegin(); it != app.windows.rend(); ++it) {
      const Client& client = clientOf(*it);
      if (!client.hidden && !client.special) {
        return *it;
      }
    }
    if (app.windows.empty()) {
      return std::nullopt;
    }
    return app.windows.back();
  }

  // --- Launching -----------------------------------------------------------------------------

  bool launch(const std::string& desktopFilePath, const std::vector<std::string>& uris,
              const std::vector<std::string>& arguments = {}) {
    pendingStartupId.clear();
    std::vector<ProcessId> pids;
    const bool launched = launcher.launch(
        desktopFilePath, uris, [&pids](ProcessId pid) { pids.push_back(pid); }, arguments);
    if (!launched) {
      return false;
    }
    RunningApp app;
    if (auto entry = entries.byPath(desktopFilePath)) {
      app.bundleIdentifier = entry->bundleIdentifier;
      app.localizedName = entry->name;
    } else {
      app.bundleIdentifier = DesktopEntryIdentity::bundleIdentifier(
          DesktopEntryIdentity::desktopFileId(desktopFilePath, {}));
    }
    app.bundleURL = Url::fileURL(desktopFilePath);
    app.launchDate = scheduler.wallClock();
    app.isFinishedLaunching = false;
    if (pids.empty()) {
      pids.push_back(0);
    }
    if (!pendingStartupId.empty()) {
      rememberLaunch(pendingStartupId, desktopFilePath);
    }
    windowFacts.emit({WindowLaunchFacts::Event::Kind::launched, 0, 0, pendingStartupId});
    for (const ProcessId pid : pids) {
      app.pid = pid;
      if (pid > 0) {
        rememberLaunch("pid:" + std::to_string(pid), desktopFilePath);
      }
      if (pid > 0 && !pendingStartupId.empty()) {
        startupOfPid[pid] = pendingStartupId;
      }
      postNotification({Kind::willLaunchApplication, app});
    }
    pendingStartupId.clear();
    return true;
  }

  void postNotification(WorkspaceNotification notification) {
    scheduler.post([weak = std::weak_ptr<int>(alive), this, notification] {
      if (weak.lock()) {
        observers.emit(notification);
      }
    });
  }

  xcb_window_t ensureMessageWindow() {
    if (messageWindow == XCB_WINDOW_NONE) {
      messageWindow = xcb_generate_id(connection.raw());
      const std::uint32_t values[] = {1};  // override-redirect: never managed
      xcb_create_window(connection.raw(), XCB_COPY_FROM_PARENT, messageWindow, connection.root(),
                        -100, -100, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                        XCB_CW_OVERRIDE_REDIRECT, values);
    }
    return messageWindow;
  }

  void broadcast(const StartupMessage& message) {
    const xcb_window_t sender = ensureMessageWindow();
    bool first = true;
    for (const std::string& chunk : startupMessageChunks(formatStartupMessage(message))) {
      xcb_client_message_event_t event{};
      event.response_type = XCB_CLIENT_MESSAGE;
      event.format = 8;
      event.window = sender;
      event.type = connection.atom(first ? Atom::_NET_STARTUP_INFO_BEGIN : Atom::_NET_STARTUP_INFO);
      std::copy(chunk.begin(), chunk.end(), reinterpret_cast<char*>(event.data.data8));
      xcb_send_event(connection.raw(), 0, connection.root(), XCB_EVENT_MASK_PROPERTY_CHANGE,
                     reinterpret_cast<const char*>(&event));
      first = false;
    }
    connection.flush();
  }

  std::string beginStartup(const StartupRequest& request) {
    std::string id = "quayline-" + std::to_string(::getpid()) + "-" +
                     std::to_string(++startupCounter) + "_TIME" +
                     std::to_string(connection.currentTime());
    StartupMessage message{"new", {}};
    message.fields["ID"] = id;
    message.fields["SCREEN"] = "0";
    if (!request.name.empty()) {
      message.fields["NAME"] = request.name;
      message.fields["DESCRIPTION"] = "Starting " + request.name;
    }
    if (!request.executable.empty()) {
      message.fields["BIN"] = request.executable;
    }
    if (!request.desktopFilePath.empty()) {
      message.fields["APPLICATION_ID"] = request.desktopFilePath;
    }
    if (!request.wmClass.empty()) {
      message.fields["WMCLASS"] = request.wmClass;
    }
    ownStartupIds.insert(id);
    broadcast(message);
    startupTimeouts[id] = scheduler.after(kStartupTimeout, [this, id] { endStartup(id); });
    pendingStartupId = id;
    return id;
  }

  void endStartup(const std::string& id) {
    if (!ownStartupIds.erase(id)) {
      return;
    }
    broadcast(StartupMessage{"remove", {{"ID", id}}});
    startupTimeouts.erase(id);
  }

  void endStartupOf(ProcessId pid) {
    if (auto found = startupOfPid.find(pid); found != startupOfPid.end()) {
      const std::string id = found->second;
      startupOfPid.erase(found);
      endStartup(id);
    }
  }

  void handleStartupMessage(const xcb_client_message_event_t& event) {
    const bool begins = event.type == connection.atom(Atom::_NET_STARTUP_INFO_BEGIN);
    if (event.format != 8 || (!begins && event.type != connection.atom(Atom::_NET_STARTUP_INFO))) {
      return;
    }
    const auto text = assembler.add(event.window, begins, event.data.data8);
    if (!text) {
      return;
    }
    const auto message = parseStartupMessage(*text);
    if (!message || message->type != "new") {
      return;
    }
    const std::string id = message->field("ID").value_or("");
    if (ownStartupIds.contains(id)) {
      return;  // our own launch, announced already
    }
    std::optional<DesktopEntry> entry;
    if (auto applicationId = message->field("APPLICATION_ID")) {
      entry = entries.byApplicationId(*applicationId);
    }
    if (!entry) {
      entry = entries.byExecutableOrName(message->field("BIN").value_or(""),
                                         message->field("NAME").value_or(""));
    }
    RunningApp app;
    if (entry) {
      app.bundleIdentifier = entry->bundleIdentifier;
      app.localizedName = entry->name;
      app.bundleURL = Url::fileURL(entry->path);
    } else {
      app.bundleIdentifier = message->field("WMCLASS");
      app.localizedName = message->field("NAME");
    }
    if (auto pid = message->field("PID")) {
      try {
        app.pid = std::stoi(*pid);
      } catch (...) {
        app.pid = 0;
      }
    }
    app.launchDate = scheduler.wallClock();
    app.isFinishedLaunching = false;
    observers.emit(WorkspaceNotification{Kind::willLaunchApplication, app});
  }

  XConnection& connection;
  ActivationHistory& history;
  DesktopEntryIndex& entries;
  WindowApplications& windowApplications;
  Scheduler& scheduler;
  GioLauncher launcher;

  std::shared_ptr<int> alive = std::make_shared<int>(0);
  Subscription events;
  Signal<WorkspaceNotification> observers;
  Signal<WindowLaunchFacts::Event> windowFacts;
  std::optional<xcb_window_t> activeWindow;
  bool syncPosted = false;

  std::map<xcb_window_t, Client> clients;
  std::set<xcb_window_t> destroyed;
  std::vector<xcb_window_t> clientOrder;
  std::vector<App> apps;
  std::optional<ProcessId> activeApp;
  std::optional<std::uint32_t> currentDesktop;
  std::map<std::pair<ProcessId, std::string>, ProcessId> applicationIds;
  ProcessId nextSharedProcessId = kFirstSharedProcessId;
  // Startup ids and "pid:<process>" of recent launches, with the entry each came from.
  std::deque<std::pair<std::string, std::string>> launches;

  xcb_window_t messageWindow = XCB_WINDOW_NONE;
  StartupMessageAssembler assembler;
  std::set<std::string> ownStartupIds;
  std::map<std::string, Subscription> startupTimeouts;
  std::map<ProcessId, std::string> startupOfPid;
  std::string pendingStartupId;
  unsigned startupCounter = 0;
};

X11Workspace::X11Workspace(XConnection& connection, ActivationHistory& history,
                           DesktopEntryIndex& entries, WindowApplications& windowApplications,
                           Scheduler& scheduler)
    : impl_(std::make_unique<Impl>(connection, history, entries, windowApplications, scheduler)) {}

X11Workspace::~X11Workspace() = default;

std::vector<RunningApp> X11Workspace::runningApplications() {
  std::vector<RunningApp> result;
  result.reserve(impl_->apps.size());
  for (const App& app : impl_->apps) {
    result.push_back(app.info);
  }
  return result;
}

std::optional<RunningApp> X11Workspace::frontmostApplication() {
  if (!impl_->activeApp) {
    return std::nullopt;
  }
  if (const App* app = impl_->findApp(*impl_->activeApp)) {
    return app->info;
  }
  return std::nullopt;
}

std::optional<Url> X11Workspace::urlForApplication(std::string_view bundleIdentifier) {
  if (auto entry = impl_->entries.byBundleIdentifier(bundleIdentifier)) {
    return Url::fileURL(entry->path);
  }
  return std::nullopt;
}

std::vector<ArgbImage> X11Workspace::applicationIcons(ProcessId pid) {
  const App* app = impl_->findApp(pid);
  if (app == nullptr) {
    return {};
  }
  std::vector<xcb_window_t> windows;
  if (const auto main = impl_->mainWindow(*app)) {
    windows.push_back(*main);
  }
  for (const xcb_window_t window : app->windows) {
    if (windows.size() < 4 && std::find(windows.begin(), windows.end(), window) == windows.end()) {
      windows.push_back(window);
    }
  }
  return readWindowIcons(impl_->connection, windows, deadline());
}

bool X11Workspace::openApplication(const Url& applicationURL) {
  return applicationURL.isFileURL() && impl_->launch(applicationURL.path(), {});
}

bool X11Workspace::openApplication(const Url& applicationURL,
                                   const std::vector<std::string>& arguments) {
  return applicationURL.isFileURL() && impl_->launch(applicationURL.path(), {}, arguments);
}

bool X11Workspace::openDocuments(const std::vector<Url>& documents, const Url& applicationURL) {
  if (!applicationURL.isFileURL()) {
    return false;
  }
  std::vector<std::string> uris;
  for (const Url& document : documents) {
    uris.push_back(document.absoluteString());
  }
  return impl_->launch(applicationURL.path(), uris);
}

bool X11Workspace::openURL(const Url& url) {
  const auto handler = impl_->launcher.handlerForUri(url.absoluteString());
  return handler && impl_->launch(*handler, {url.absoluteString()});
}

bool X11Workspace::revealInFileManager(const std::vector<Url>& urls) {
  std::vector<std::string> folders;
  for (const Url& url : urls) {
    if (!url.isFileURL()) {
      continue;
    }
    const std::string path = url.path();
    const auto slash = path.find_last_of('/');
    const std::string parent =
        slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
    const std::string folder = Url::fileURL(parent, true).absoluteString();
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
      folders.push_back(folder);
    }
  }
  if (folders.empty()) {
    return false;
  }
  const auto handler = impl_->launcher.handlerForType("inode/directory");
  return handler && impl_->launch(*handler, folders);
}

bool X11Workspace::activate(ProcessId pid) {
  const App* app = impl_->findApp(pid);
  if (app == nullptr) {
    return false;
  }
  const auto window = impl_->mainWindow(*app);
  if (!window) {
    return false;
  }
  WindowCommands::activate(impl_->connection, *window);
  return true;
}

bool X11Workspace::hide(ProcessId pid) {
  const App* app = impl_->findApp(pid);
  if (app == nullptr) {
    return false;
  }
  bool any = false;
  for (const xcb_window_t window : app->windows) {
    if (!impl_->clientOf(window).special) {
      WindowCommands::iconify(impl_->connection, window);
      any = true;
    }
  }
  return any;
}

bool X11Workspace::unhide(ProcessId pid) {
  const App* app = impl_->findApp(pid);
  if (app == nullptr) {
    return false;
  }
  for (const xcb_window_t window : app->windows) {
    if (impl_->clientOf(window).hidden) {
      WindowCommands::restore(impl_->connection, window);
    }
  }
  if (const auto window = impl_->mainWindow(*app)) {
    WindowCommands::activate(impl_->connection, *window);
  }
  return !app->windows.empty();
}

bool X11Workspace::terminate(ProcessId pid) {
  const App* app = impl_->findApp(pid);
  if (app == nullptr || app->windows.empty()) {
    return false;
  }
  for (const xcb_window_t window : app->windows) {
    WindowCommands::close(impl_->connection, window);
  }
  return true;
}

Subscription X11Workspace::observe(std::function<void(const WorkspaceNotification&)> observer) {
  return impl_->observers.connect(std::move(observer));
}

std::string X11Workspace::startupId(std::uint32_t window) const {
  const auto found = impl_->clients.find(window);
  return found == impl_->clients.end() ? std::string() : found->second.startupId;
}

Subscription X11Workspace::observeWindows(
    std::function<void(const WindowLaunchFacts::Event&)> observer) {
  return impl_->windowFacts.connect(std::move(observer));
}

}  // namespace quayline
