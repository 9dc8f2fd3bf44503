// A click on a folder tile until its stack is on screen, for folders of 10,000 and 100,000
// entries (goal: at most 100 ms and 300 ms), and the part of it on the main thread (goal: at most
// 16 ms): the real listing and order, the panel built and painted once offscreen.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "fakes/FakePointerMotion.h"
#include "fakes/ManualSerialQueue.h"
#include "platform/KeyInterception.h"
#include "platform/PanelWindowing.h"
#include "platform/linux/FileSystemFolderListing.h"
#include "stacks/FolderStackController.h"
#include "support/BenchDock.h"
#include "ui/stacks/FolderStackPanelWindow.h"

namespace quayline {
namespace {

using bench::application;
namespace fs = std::filesystem;

class PlainWindowing final : public PanelWindowing {
 public:
  void prepareDockPanel(WindowId) override {}
  void panelShown(WindowId) override {}
  void keepOutOfTaskbar(WindowId) override {}
  void preparePopup(WindowId) override {}
  bool isComposited() override { return false; }
  Subscription observeCompositing(std::function<void(bool)>) override { return {}; }
  DesktopImage desktopBackground(const Rect&) override { return {}; }
  Subscription observeDesktopBackground(std::function<void()>) override { return {}; }
};

class NoKeys final : public KeyInterception {
 public:
  Subscription interceptEscape(std::function<void()>) override { return {}; }
};

// Folders of generated files, made once per size and removed when the program ends.
class Folders {
 public:
  ~Folders() {
    for (const auto& [count, path] : folders_) {
      fs::remove_all(path);
    }
  }
  const fs::path& of(int count) {
    auto& path = folders_[count];
    if (path.empty()) {
      path = fs::temp_directory_path() /
             ("quayline-bench-stack-" + std::to_string(::getpid()) + "-" + std::to_string(count));
      fs::create_directories(path);
      const char* kinds[] = {".txt", ".png", ".pdf", ".tar.gz", ""};
      for (int i = 0; i < count; ++i) {
        if (i % 50 == 0) {
          fs::create_directories(path / ("Folder " + std::to_string(i)));
        } else {
          std::ofstream(path / ("Download " + std::to_string(i) + kinds[i % 5]));
        }
      }
    }
    return path;
  }

 private:
  std::map<int, fs::path> folders_;
};
Folders folders;

// `mainThreadOnly`: the listing on the stacks' queue is left out of the time.
void clickToShown(benchmark::State& state, bool mainThreadOnly) {
  application();
  const fs::path& path = folders.of(static_cast<int>(state.range(0)));
  bench::Dock dock;
  ManualSerialQueue queue{std::string(FolderStackController::queueLabel)};
  FileSystemFolderListing listing;
  FolderStackStyles styles(dock.domains);
  PlainWindowing windowing;
  FakePointerMotion pointer;
  NoKeys keys;
  FolderStackPanelWindow panel({windowing, *dock.icons, *dock.appearance, dock.preferences});
  FolderStackController stacks({dock.scheduler, queue, listing, styles, dock.workspace,
                                dock.displays, pointer, keys, panel});
  const FolderTile folder{Url::fileURL(path.string(), true), "Downloads"};
  const Rect anchor(600, 4, 64, 64);
  QImage image(480, 600, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    stacks.toggle(folder, anchor, 1);
    if (mainThreadOnly) {
      state.PauseTiming();
    }
    queue.runAll();
    if (mainThreadOnly) {
      state.ResumeTiming();
    }
    dock.scheduler.runPosted();
    panel.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    benchmark::DoNotOptimize(image.constBits());
    state.PauseTiming();
    if (!panel.isVisible()) {
      state.SkipWithError("the stack did not open");
      break;
    }
    stacks.hide();
    // What the event loop would do between clicks: deferred deletions, updates, polishing.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
}

void BM_FolderStackClickToShown(benchmark::State& state) {
  clickToShown(state, false);
}
void BM_FolderStackMainThread(benchmark::State& state) {
  clickToShown(state, true);
}
BENCHMARK(BM_FolderStackClickToShown)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FolderStackMainThread)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quayline
