// A drag of 100 files moving over a 40-tile dock view: each move event asks what a drop there
// would do and answers the source.
#include <benchmark/benchmark.h>

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QMimeData>
#include <QUrl>

#include "dock/DockDropHandler.h"
#include "fakes/FakeFileOperations.h"
#include "foundation/SerialQueue.h"
#include "support/BenchDock.h"
#include "ui/dock/DockDropTarget.h"

namespace quayline {
namespace {

using bench::application;

void BM_DropMoveEventWith100Urls(benchmark::State& state) {
  application();
  bench::Dock dock;
  FakeFileOperations files;
  FakeTrashFeedback trash;
  InlineSerialQueue queue("quayline.file-operations");
  DockDropHandler handler(
      {*dock.store, dock.workspace, files, queue, dock.scheduler, trash, dock.log}, [&dock] {
        DropGeometry geometry{{}, dock.layout, Rect(0, 0, 2700, 83), std::nullopt};
        for (const auto& entry : dock.view->row().entries()) {
          geometry.tiles.push_back(entry.tile);
        }
        return geometry;
      });
  DockDropTarget target(*dock.view, dock.view->row(), handler, files);

  QMimeData data;
  QList<QUrl> urls;
  for (int i = 0; i < 100; ++i) {
    const QString path = QStringLiteral("/home/u/Documents/report-%1.txt").arg(i);
    urls.push_back(QUrl::fromLocalFile(path));
    files.addFile(path.toStdString());
  }
  data.setUrls(urls);
  const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  const int y = dock.view->height() - 30;
  QDragEnterEvent enter(QPoint(dock.view->width() / 2, y), offered, &data, Qt::LeftButton,
                        Qt::NoModifier);
  QCoreApplication::sendEvent(dock.view.get(), &enter);

  int x = dock.view->width() / 2 - 600;
  for (auto _ : state) {
    x = x > dock.view->width() / 2 + 600 ? dock.view->width() / 2 - 600 : x + 7;
    QDragMoveEvent move(QPoint(x, y), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dock.view.get(), &move);
    benchmark::DoNotOptimize(move.dropAction());
  }
}
BENCHMARK(BM_DropMoveEventWith100Urls)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quayline
