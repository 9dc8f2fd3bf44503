// The cost of the switcher model's rebuild when the panel opens over 50 windows of 25
// applications, half of them used before (goal: at most 0.5 ms). The desktop is the tests'
// in-memory one, so what is measured is the model's own work.
#include <benchmark/benchmark.h>

#include "fakes/FakeDockServices.h"
#include "switcher/SwitcherModel.h"

namespace quayline {
namespace {

void BM_SwitcherRebuild(benchmark::State& state) {
  FakeDockServices fakes;
  for (int n = 0; n < 50; ++n) {
    const ProcessId pid = 100 + n / 2;
    if (n % 2 == 0) {
      fakes.workspace.addApplication(pid, "org.example.App" + std::to_string(pid),
                                     "Application " + std::to_string(pid));
    }
    auto window = fakes.accessibility.addWindow(pid,
                                                "Document " + std::to_string(n) +
                                                    " \u2014 a title long enough to be cut "
                                                    "short on its card",
                                                Rect(10 * n, 10 * n, 800, 600));
    window->windowNumber = 0x400000 + static_cast<std::uint32_t>(n);
  }
  fakes.start();
  fakes.refresh();
  InlineSerialQueue queue{std::string(SwitcherModel::queueLabel)};
  SwitcherModel model(*fakes.registry, fakes.workspace, fakes.accessibility, fakes.scheduler,
                      queue);
  for (int n = 0; n < 25; ++n) {
    fakes.workspace.frontmostPid = 100 + n;
    fakes.accessibility.application(100 + n)->attributes.insert_or_assign(
        "AXFocusedWindow",
        AXValue(std::get<std::vector<AXElement>>(
                    *fakes.accessibility.attribute(fakes.accessibility.applicationElement(100 + n),
                                                   "AXWindows"))
                    .front()));
    fakes.workspace.notify(WorkspaceNotification::Kind::didActivateApplication,
                           *fakes.workspace.frontmostApplication());
    fakes.scheduler.advance(1);
  }
  for (auto _ : state) {
    model.rebuild(false, false);
    benchmark::DoNotOptimize(model.candidates().data());
  }
  if (model.candidates().size() != 50) {
    state.SkipWithError(
        ("listed " + std::to_string(model.candidates().size()) + " windows").c_str());
  }
}
BENCHMARK(BM_SwitcherRebuild)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quayline
