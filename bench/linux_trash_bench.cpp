// One refresh of the Trash tile's state, as the trash queue runs it every 5 s: the freedesktop
// Trash listed until its first item, with 100,000 items in the home trash (goal: at most
// 0.1 ms). The count stops at the first entry that is not ".DS_Store", so the size of the trash
// costs nothing; the empty trash, which also reads the mount table for the volumes' trash
// folders, is measured beside it.
//
//   build/bench/quayline_linux_bench --benchmark_filter=Trash
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fakes/FakeWorkspace.h"
#include "platform/linux/FreedesktopTrash.h"
#include "stacks/TrashService.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

class TrashFolder {
 public:
  explicit TrashFolder(int items) {
    root_ = fs::temp_directory_path() /
            ("quayline-trash-bench-" + std::to_string(getpid()) + "-" + std::to_string(items));
    fs::create_directories(root_ / "files");
    fs::create_directories(root_ / "info");
    std::ofstream(root_ / "files/.DS_Store") << "";
    for (int i = 0; i < items; ++i) {
      std::ofstream(root_ / "files" / ("item " + std::to_string(i) + ".txt"));
    }
  }
  ~TrashFolder() { fs::remove_all(root_); }
  std::string path() const { return root_.string(); }

 private:
  fs::path root_;
};

void refresh(benchmark::State& state) {
  const TrashFolder folder(static_cast<int>(state.range(0)));
  FakeWorkspace workspace;
  FreedesktopTrash trash(folder.path(), getuid(), workspace);
  for (auto _ : state) {
    benchmark::DoNotOptimize(TrashService::holdsItems(trash));
  }
}
BENCHMARK(refresh)->Name("TrashRefresh")->Arg(100000)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quayline
