// Presenting a preview of 12 windows: the cards built, their images set, and the panel painted
// once, as the first frame on screen is (goal: at most 2 ms).
#include <benchmark/benchmark.h>

#include "fakes/FakePointerMotion.h"
#include "fakes/FakeWindowCapture.h"
#include "platform/PanelWindowing.h"
#include "previews/WindowThumbnailer.h"
#include "support/BenchDock.h"
#include "ui/previews/PreviewPanelWindow.h"

namespace quayline {
namespace {

using bench::application;

// A window system without a compositor that takes every request.
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

void BM_PreviewPresentTwelveCards(benchmark::State& state) {
  application();
  bench::Dock dock;
  FakeWindowCapture capture;
  InlineSerialQueue lane("lane");
  WindowThumbnailer thumbnails(capture, dock.scheduler, {&lane}, dock.log);
  std::vector<WindowNumber> numbers;
  PreviewPresentation presentation;
  presentation.layout = PreviewLayout::fitting(12, 1920);
  presentation.scale = 1;
  presentation.bundleIdentifier = "org.example.app0";
  for (WindowNumber number = 1; number <= 12; ++number) {
    capture.add(number, Rect(0, 0, 1420, 992), 0xff000000 | (number * 0x151515));
    numbers.push_back(number);
    PreviewCard card;
    card.window.id = "1:" + std::to_string(number);
    card.window.title = "Document " + std::to_string(number);
    card.windowID = number;
    card.primary = card.window.title;
    card.secondary = "App";
    presentation.cards.push_back(card);
  }
  thumbnails.refresh(numbers, {200, 125}, 1);
  dock.scheduler.runPosted();
  const Size size = presentation.layout.panelSize(12);
  presentation.frame = Rect(100, 100, size.width, size.height);
  PlainWindowing windowing;
  FakePointerMotion input;
  PreviewPanelWindow panel(
      {windowing, input, thumbnails, *dock.icons, *dock.appearance, dock.preferences});
  QImage image(static_cast<int>(size.width), static_cast<int>(size.height),
               QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    panel.present(presentation, true);
    panel.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    benchmark::DoNotOptimize(image.constBits());
    state.PauseTiming();
    panel.dismiss();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_PreviewPresentTwelveCards)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quayline
