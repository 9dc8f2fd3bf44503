// The cost of one TileStore::rebuild on a busy desktop: 60 running applications, 40 pinned
// items and 600 windows, with the browser running and three of its profiles live. The ports are
// minimal in-memory stand-ins, so what is measured is the store's own work.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chrome/ChromeInstance.h"
#include "chrome/ChromeProfiles.h"
#include "foundation/Scheduler.h"
#include "foundation/SerialQueue.h"
#include "model/HiddenApps.h"
#include "model/PinnedItemStore.h"
#include "model/TileStore.h"
#include "platform/Accessibility.h"
#include "platform/FileManager.h"
#include "platform/Paths.h"
#include "platform/PreferenceDomains.h"
#include "platform/SystemLog.h"
#include "platform/Workspace.h"
#include "windows/WindowRegistry.h"

namespace quayline {
namespace {

constexpr int kRunning = 60;
constexpr int kPinned = 40;
constexpr int kWindowsPerApp = 10;  // 600 windows in all
const std::string kChrome(kChromeBundleIdentifier);

std::string identifier(int n) {
  return n == 0 ? kChrome : "org.example.App" + std::to_string(n);
}

class BenchWorkspace final : public Workspace {
 public:
  BenchWorkspace() {
    for (int n = 0; n < kRunning; ++n) {
      RunningApp app;
      app.pid = 1000 + n;
      app.bundleIdentifier = identifier(n);
      app.localizedName = "Application " + std::to_string(n);
      app.bundleURL = Url::fileURL("/usr/share/applications/" + identifier(n) + ".desktop");
      app.launchDate = 1'700'000'000.0 + (n * 37) % kRunning;
      running.push_back(app);
    }
  }
  std::vector<RunningApp> runningApplications() override { return running; }
  std::optional<RunningApp> frontmostApplication() override { return running[7]; }
  std::optional<Url> urlForApplication(std::string_view bundleIdentifier) override {
    return Url::fileURL("/usr/share/applications/" + std::string(bundleIdentifier) + ".desktop");
  }
  std::vector<ArgbImage> applicationIcons(ProcessId) override { return {}; }
  bool openApplication(const Url&) override { return false; }
  bool openApplication(const Url&, const std::vector<std::string>&) override { return false; }
  bool openDocuments(const std::vector<Url>&, const Url&) override { return false; }
  bool openURL(const Url&) override { return false; }
  bool revealInFileManager(const std::vector<Url>&) override { return false; }
  bool activate(ProcessId) override { return false; }
  bool hide(ProcessId) override { return false; }
  bool unhide(ProcessId) override { return false; }
  bool terminate(ProcessId) override { return false; }
  Subscription observe(std::function<void(const WorkspaceNotification&)>) override { return {}; }

  std::vector<RunningApp> running;
};

struct BenchElement final : AccessibilityElement {
  std::map<std::string, AXValue, std::less<>> attributes;
};

class BenchAccessibility final : public Accessibility {
 public:
  BenchAccessibility() {
    for (int n = 0; n < kRunning; ++n) {
      auto app = std::make_shared<BenchElement>();
      std::vector<AXElement> windows;
      for (int w = 0; w < kWindowsPerApp; ++w) {
        auto window = std::make_shared<BenchElement>();
        std::string title = "Document " + std::to_string(w);
        if (n == 0) {
          // Three profiles' windows and one that names no profile.
          static const char* labels[] = {" - Work", " - Home", " - Lab", ""};
          title = "Page " + std::to_string(w) + " - Google Chrome" + labels[w % 4];
        }
        window->attributes.emplace(AX::title, title);
        window->attributes.emplace(AX::subrole, std::string(AX::standardWindow));
        window->attributes.emplace(AX::minimized, false);
        window->attributes.emplace(AX::main, w == 0);
        window->attributes.emplace(AX::position, Point{10.0 * w, 20.0 * w});
        window->attributes.emplace(AX::size, Size{800, 600});
        windows.push_back(window);
      }
      app->attributes.emplace(AX::windows, std::move(windows));
      applications[1000 + n] = app;
    }
  }
  bool isProcessTrusted() override { return true; }
  void setMessagingTimeout(double) override {}
  AXElement applicationElement(ProcessId pid) override { return applications[pid]; }
  std::optional<AXValue> attribute(const AXElement& element, std::string_view name) override {
    const auto* node = dynamic_cast<const BenchElement*>(element.get());
    if (node == nullptr) {
      return std::nullopt;
    }
    auto found = node->attributes.find(name);
    return found == node->attributes.end() ? std::nullopt : std::optional<AXValue>(found->second);
  }
  std::vector<std::vector<std::optional<AXValue>>> attributes(
      const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) override {
    std::vector<std::vector<std::optional<AXValue>>> result;
    for (const auto& element : elements) {
      auto& row = result.emplace_back();
      for (auto name : names) {
        row.push_back(attribute(element, name));
      }
    }
    return result;
  }
  bool setAttribute(const AXElement&, std::string_view, const AXValue&) override { return false; }
  bool performAction(const AXElement&, std::string_view) override { return false; }
  std::optional<std::uint32_t> windowNumber(const AXElement&) override { return std::nullopt; }

  std::map<ProcessId, std::shared_ptr<BenchElement>> applications;
};

// Runs posted work when asked; timers never fire.
class BenchScheduler final : public Scheduler {
 public:
  void post(Task task) override { posted.push_back(std::move(task)); }
  Subscription after(Seconds, Task) override { return {}; }
  Subscription every(Seconds, Task) override { return {}; }
  double wallClock() const override { return 0; }
  double monotonic() const override { return 0; }
  void runPosted() {
    while (!posted.empty()) {
      auto tasks = std::move(posted);
      posted.clear();
      for (auto& task : tasks) {
        task();
      }
    }
  }
  std::vector<Task> posted;
};

class BenchLog final : public SystemLog {
 public:
  void log(std::string_view, std::string_view) override {}
  void console(std::string_view) override {}
};

class BenchPreferences final : public PreferenceDomains {
 public:
  std::optional<PropertyValue> copy(std::string_view domain, std::string_view key) override {
    auto found = values.find(std::string(domain) + "/" + std::string(key));
    return found == values.end() ? std::nullopt : std::optional<PropertyValue>(found->second);
  }
  void set(std::string_view domain, std::string_view key,
           std::optional<PropertyValue> value) override {
    const std::string name = std::string(domain) + "/" + std::string(key);
    if (value) {
      values.insert_or_assign(name, *value);
    } else {
      values.erase(name);
    }
  }
  bool synchronize(std::string_view) override { return true; }
  PropertyValue::Dictionary copyAll(std::string_view) override { return {}; }
  std::vector<std::string> domains() override { return {}; }

  std::map<std::string, PropertyValue> values;
};

class BenchFiles final : public FileManager {
 public:
  std::string displayName(const std::string& path) override {
    return path.substr(path.find_last_of('/') + 1);
  }
  bool fileExists(const std::string&) override { return true; }
  std::optional<std::string> bundleIdentifier(const std::string&) override { return {}; }
};

class BenchPaths final : public Paths {
 public:
  std::string homeDirectory() override { return "/home/bench"; }
  std::string applicationSupportDirectory() override { return "/home/bench/.local/share"; }
  std::optional<std::string> downloadsDirectory() override { return "/home/bench/Downloads"; }
};

class BenchChromeInstances final : public ChromeInstances {
 public:
  std::optional<ProcessId> mainBrowserProcessIdentifier() override { return 1000; }
  std::vector<ChromeInstance> secondaryInstances() override {
    return {{4242, "/tmp/ms-playwright/profile", "Playwright"}};
  }
};

// Attributes the browser's windows by the profile label at the end of their titles, the way
// the real profile service does, so the window count weighs on each rebuild as it would.
class BenchChromeProfiles final : public ChromeProfiles {
 public:
  explicit BenchChromeProfiles(WindowRegistry& registry) : registry_(registry) {
    for (const char* name : {"Work", "Home", "Lab", "Travel"}) {
      ChromeProfile profile;
      profile.directory = std::string("Profile ") + name;
      profile.name = name;
      profiles_.push_back(profile);
      suffixes_.push_back(std::string(" - ") + name);
    }
  }
  const std::vector<ChromeProfile>& profiles() const override { return profiles_; }
  std::optional<ChromeProfile> profile(const std::string& directory) const override {
    for (const auto& candidate : profiles_) {
      if (candidate.directory == directory) {
        return candidate;
      }
    }
    return std::nullopt;
  }
  std::optional<ChromeAvatar> avatarImage(const std::string&) override { return std::nullopt; }
  std::string productName() const override { return "Chromium"; }
  std::vector<std::string> liveProfileDirectories() override {
    const auto windows = registry_.windows(kChrome);
    std::vector<std::string> live;
    for (std::size_t p = 0; p < profiles_.size(); ++p) {
      for (const auto& window : windows) {
        if (window.title.ends_with(suffixes_[p])) {
          live.push_back(profiles_[p].directory);
          break;
        }
      }
    }
    return live;
  }
  std::vector<AppWindow> unattributedWindows() override {
    std::vector<AppWindow> result;
    for (const auto& window : registry_.windows(kChrome)) {
      if (window.title.ends_with(" - Google Chrome")) {
        result.push_back(window);
      }
    }
    return result;
  }
  std::vector<AppWindow> windows(const std::string& directory) override {
    std::vector<AppWindow> result;
    for (std::size_t p = 0; p < profiles_.size(); ++p) {
      for (const auto& window : registry_.windows(kChrome)) {
        if (profiles_[p].directory == directory && window.title.ends_with(suffixes_[p])) {
          result.push_back(window);
        }
      }
    }
    return result;
  }
  bool hasLiveWindows(const std::string& directory) override { return !windows(directory).empty(); }
  std::optional<AppWindow> preferredWindow(const std::string& directory) override {
    auto all = windows(directory);
    return all.empty() ? std::nullopt : std::optional(all.front());
  }
  void openNewWindow(const std::string&) override {}
  Subscription observeProfiles(std::function<void()>) override { return {}; }

 private:
  WindowRegistry& registry_;
  std::vector<ChromeProfile> profiles_;
  std::vector<std::string> suffixes_;  // the labels window titles end with
};

std::string pinnedListJSON() {
  // Every third pinned application runs; the rest of the list is folders, spacers and profiles.
  std::vector<PinnedItem> items;
  items.push_back(PinnedApp{kChrome, "/usr/share/applications/google-chrome.desktop"});
  items.push_back(PinnedChromeProfile{"Profile Home"});
  for (int n = 1; static_cast<int>(items.size()) < kPinned; ++n) {
    if (n % 7 == 0) {
      items.push_back(PinnedSpacer{n % 2 == 0});
    } else if (n % 5 == 0) {
      items.push_back(PinnedFolder{"/home/bench/Folder " + std::to_string(n)});
    } else {
      const int app = n % 3 == 0 ? n : 100 + n;
      items.push_back(PinnedApp{identifier(app),
                                "/usr/share/applications/app" + std::to_string(app) + ".desktop"});
    }
  }
  return encodePinnedList(items);
}

void TileStoreRebuild(benchmark::State& state) {
  BenchPreferences preferences;
  const std::string pinned = pinnedListJSON();
  const std::string trailing = encodePinnedList(
      {PinnedFolder{"/home/bench/Downloads"}, PinnedFolder{"/home/bench/Documents"}});
  preferences.set(PreferenceDomains::application, PinnedItemStore::pinnedKey,
                  PropertyValue(PropertyData(pinned.begin(), pinned.end())));
  preferences.set(PreferenceDomains::application, PinnedItemStore::trailingKey,
                  PropertyValue(PropertyData(trailing.begin(), trailing.end())));
  preferences.set(PreferenceDomains::application, HiddenApps::key,
                  PropertyValue(PropertyValue::Array{PropertyValue(identifier(11))}));

  BenchWorkspace workspace;
  BenchAccessibility accessibility;
  BenchScheduler scheduler;
  InlineSerialQueue queue{std::string(WindowRegistry::queueLabel)};
  BenchLog log;
  BenchFiles files;
  BenchPaths paths;
  WindowRegistry registry(workspace, accessibility, scheduler, queue, log);
  scheduler.runPosted();
  BenchChromeInstances instances;
  BenchChromeProfiles profiles(registry);
  HiddenApps hidden(preferences, workspace);
  TileStore store(std::make_unique<PinnedItemStore>(preferences, files, paths, log), workspace,
                  instances, profiles, hidden, registry, files);

  if (registry.windows().size() != static_cast<std::size_t>(kRunning * kWindowsPerApp)) {
    state.SkipWithError("the registry did not list every window");
    return;
  }
  for (auto _ : state) {
    store.rebuild();
    benchmark::DoNotOptimize(store.tiles().data());
  }
  state.counters["tiles"] = static_cast<double>(store.tiles().size());
}
BENCHMARK(TileStoreRebuild)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
}  // namespace quayline
