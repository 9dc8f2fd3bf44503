// 1,000 files dropped on the Trash tile: the time the main thread spends on the drop, and the
// time until the last file is in the Trash and the result is back on the main thread.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "dock/DockDropHandler.h"
#include "fakes/FakeDockServices.h"
#include "fakes/FakeFileOperations.h"
#include "foundation/SerialQueue.h"
#include "platform/linux/GioFileOperations.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

// The CPU time of the calling thread: what the drop costs the main thread, apart from the
// time other threads take from it on a loaded machine.
double threadSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The main thread's run loop, reduced to what a drop uses: tasks posted from the file queue.
class WaitingScheduler final : public Scheduler {
 public:
  void post(Task task) override {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    ready_.notify_one();
  }
  Subscription after(Seconds, Task) override { return {}; }
  Subscription every(Seconds, Task) override { return {}; }
  double wallClock() const override { return 0; }
  double monotonic() const override { return 0; }

  void runNext() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return !tasks_.empty(); });
    Task task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    task();
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Task> tasks_;
};

// A private home, set before GLib first reads where the user's data lives.
const fs::path& home() {
  static const fs::path root = [] {
    const fs::path path =
        fs::temp_directory_path() / ("quayline-trash-bench-" + std::to_string(::getpid()));
    fs::create_directories(path / "data");
    ::setenv("HOME", path.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (path / "data").c_str(), 1);
    return path;
  }();
  return root;
}

void BM_TrashThousandDroppedFiles(benchmark::State& state) {
  const fs::path root = home();
  FakeDockServices dock;
  dock.start();
  GioFileOperations files;
  FakeTrashFeedback trash;
  WaitingScheduler mainThread;
  ThreadSerialQueue queue("quayline.file-operations");
  DockDropHandler handler(
      {*dock.store, dock.workspace, files, queue, mainThread, trash, dock.log}, [&dock] {
        return DropGeometry{dock.store->tiles(), DockLayout{64}, Rect(0, 0, 400, 83), std::nullopt};
      });
  double trashX = DockLayout::rowInset;
  for (const Tile& tile : dock.store->tiles()) {
    if (tile.isTrash()) {
      trashX += 10;
      break;
    }
    trashX += DockLayout{64}.slotWidth(tile.content);
  }

  int round = 0;
  double mainThreadSeconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(root / "data" / "Trash");
    const fs::path batch = root / "batch";
    fs::remove_all(batch);
    fs::create_directories(batch);
    std::vector<Url> urls;
    for (int i = 0; i < 1000; ++i) {
      const fs::path file = batch / ("r" + std::to_string(round) + "-" + std::to_string(i));
      std::ofstream(file) << "x";
      urls.push_back(Url::fileURL(file.string()));
    }
    ++round;
    const DroppedFiles dropped(urls, files);
    state.ResumeTiming();

    bool allTrashed = false;
    const double start = threadSeconds();
    handler.perform(dropped, trashX, [&](bool all) { allTrashed = all; });
    mainThreadSeconds += threadSeconds() - start;
    mainThread.runNext();
    if (!allTrashed) {
      state.SkipWithError("not every file was trashed");
      break;
    }
  }
  state.counters["main_thread_cpu_us"] =
      benchmark::Counter(mainThreadSeconds * 1e6 / static_cast<double>(state.iterations()));
  fs::remove_all(root);
}
BENCHMARK(BM_TrashThousandDroppedFiles)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace quayline
