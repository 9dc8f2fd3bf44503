// The settings window: its first show (every pane built, laid out and the shown one painted;
// goal: at most 120 ms), showing it again after a close (goal: 20 ms) and switching panes
// (goal: 16 ms, one frame).
#include <benchmark/benchmark.h>

#include <QApplication>

#include "dock/DockEdgeAction.h"
#include "fakes/FakeApplicationBundle.h"
#include "fakes/FakeDesktopActions.h"
#include "fakes/FakeDistributedNotifications.h"
#include "fakes/FakeTrash.h"
#include "settings/IconStyleSettings.h"
#include "support/BenchDock.h"
#include "ui/settings/SettingsWindow.h"
#include "ui/settings/SettingsWindowController.h"

namespace quayline {
namespace {

using bench::application;

struct Settings {
  Settings() {
    for (int i = 0; i < 8; ++i) {
      const std::string id = "org.example.hidden" + std::to_string(i);
      dock.workspace.addApplication(500 + i, id, "Hidden " + std::to_string(i));
      dock.hidden->hide(id);
    }
  }
  std::unique_ptr<SettingsWindowController> controller() {
    return std::make_unique<SettingsWindowController>(
        SettingsServices{dock.preferences, dock.domains, notifications, *dock.hidden, edgeActions,
                         iconStyle, bundle, confirmations, [] {}},
        nullptr);
  }
  // Shown and painted, as the first frame on screen is.
  static void present(SettingsWindowController& controller, std::optional<SettingsPane> pane) {
    controller.show(pane);
    QCoreApplication::processEvents();
    controller.window()->repaint();
  }

  bench::Dock dock;
  FakeDistributedNotifications notifications;
  FakeDesktopActions desktop;
  DockEdgeActions edgeActions{desktop, dock.domains, dock.log};
  IconStyleSettings iconStyle{dock.workspace, "XFCE"};
  FakeApplicationBundle bundle;
  FakeConfirmations confirmations;
};

void BM_SettingsFirstShow(benchmark::State& state) {
  application();
  Settings settings;
  for (auto _ : state) {
    auto controller = settings.controller();
    Settings::present(*controller, std::nullopt);
    state.PauseTiming();
    controller->window()->close();
    controller.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SettingsFirstShow)->Unit(benchmark::kMillisecond);

void BM_SettingsShowAgain(benchmark::State& state) {
  application();
  Settings settings;
  auto controller = settings.controller();
  Settings::present(*controller, std::nullopt);
  for (auto _ : state) {
    state.PauseTiming();
    controller->window()->close();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    Settings::present(*controller, std::nullopt);
  }
}
BENCHMARK(BM_SettingsShowAgain)->Unit(benchmark::kMillisecond);

void BM_SettingsSwitchPane(benchmark::State& state) {
  application();
  Settings settings;
  auto controller = settings.controller();
  Settings::present(*controller, std::nullopt);
  std::size_t next = 0;
  const auto panes = allCases<SettingsPane>();
  for (auto _ : state) {
    next = (next + 1) % panes.size();
    Settings::present(*controller, panes[next]);
  }
}
BENCHMARK(BM_SettingsSwitchPane)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quayline
