// Recent documents in a running application's tile menu, over a recently-used list of 10,000
// entries (about 5 MB) registered by 20 applications:
// - TileMenuWithRecentDocuments: building the tile's whole menu on the main thread, with the
//   5-second cache expired, so the "File ▸ Open Recent" tree is walked and the files are checked
//   for existence each time (goal: at most 2 ms);
// - RecentlyUsedParse: parsing the list, which runs on its own queue whenever it changes
//   (goal: at most 150 ms).
//
//   build/bench/quayline_linux_bench --benchmark_filter=Recent
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "dock/AppTileActions.h"
#include "fakes/FakeDockServices.h"
#include "fakes/FakeTrash.h"
#include "linux/RecentlyUsedXbel.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/RecentDocumentsMenu.h"
#include "platform/linux/RecentlyUsedFile.h"
#include "stacks/AppRecentItemsService.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

constexpr int kEntries = 10000;
constexpr int kApplications = 20;

// A recently-used list and the files of the editor's documents, in a temporary folder.
class RecentList {
 public:
  RecentList() {
    root_ = fs::temp_directory_path() / ("quayline-recent-bench-" + std::to_string(getpid()));
    fs::create_directories(root_ / "documents");
    std::vector<XbelBookmark> bookmarks;
    for (int i = 0; i < kEntries; ++i) {
      const int app = i % kApplications;
      const std::string name = "Quarterly report " + std::to_string(i) + " (final draft).odt";
      const fs::path file = root_ / "documents" / name;
      if (app == 0) {
        std::ofstream(file) << "x";
        editorFiles.insert(file.string());
      }
      char stamp[32];
      std::snprintf(stamp, sizeof stamp, "2026-%02d-%02dT%02d:%02d:00Z", 1 + i % 12, 1 + i % 28,
                    i % 24, i % 60);
      std::vector<XbelBookmark::Registration> registrations{
          {app == 0 ? "Editor" : "Application " + std::to_string(app),
           "'program" + std::to_string(app) + " %u'", stamp}};
      if (i % 3 == 0) {
        registrations.push_back({"Viewer", "'viewer %u'", stamp});
      }
      bookmarks.push_back({Url::fileURL(file.string()).absoluteString(), registrations});
    }
    std::ofstream(path()) << xbelText(bookmarks);
  }
  ~RecentList() { fs::remove_all(root_); }
  std::string path() const { return (root_ / "recently-used.xbel").string(); }

  std::set<std::string> editorFiles;

 private:
  fs::path root_;
};

RecentList& recentList() {
  static RecentList list;
  return list;
}

QCoreApplication& application() {
  static int argc = 1;
  static char name[] = "quayline_linux_bench";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

void tileMenu(benchmark::State& state) {
  application();
  RecentList& list = recentList();
  FakeDockServices fakes;
  fakes.files.existing = list.editorFiles;
  RecentlyUsedFile file(list.path(), fakes.log);
  while (file.index()->documents.empty()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  DesktopEntryIndex entries;
  RecentDocumentsMenu menus(fakes.accessibility, fakes.workspace, entries, file);
  AppRecentItemsService recent(fakes.workspace, menus, fakes.scheduler, fakes.files, fakes.paths);
  FakeTrashState trash;
  FakeConfirmations confirmations;
  fakes.start();
  fakes.workspace.addApplication(40, "org.example.Editor", "Editor");
  fakes.refresh();
  TileActionServices services{
      fakes.workspace, fakes.accessibility, *fakes.registry, fakes.instances,
      fakes.profiles,  *fakes.store,        *fakes.hidden,   fakes.preferences,
      recent,          fakes.displays,      trash,           confirmations};
  const Tile& tile = fakes.tile("running:org.example.Editor");
  std::size_t entriesShown = 0;
  for (auto _ : state) {
    fakes.scheduler.advance(AppRecentItemsService::cacheLifetime);
    const Menu menu = AppTileActions(services, tile, std::nullopt).contextMenuItems(true);
    entriesShown = menu.size();
    benchmark::DoNotOptimize(menu);
  }
  state.counters["menu entries"] = static_cast<double>(entriesShown);
}
BENCHMARK(tileMenu)->Name("TileMenuWithRecentDocuments")->Unit(benchmark::kMillisecond);

void parse(benchmark::State& state) {
  RecentList& list = recentList();
  std::size_t documents = 0;
  for (auto _ : state) {
    documents = RecentlyUsedFile::parse(list.path()).documents.size();
  }
  state.counters["documents"] = static_cast<double>(documents);
  state.counters["bytes"] = static_cast<double>(fs::file_size(list.path()));
}
BENCHMARK(parse)->Name("RecentlyUsedParse")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quayline
