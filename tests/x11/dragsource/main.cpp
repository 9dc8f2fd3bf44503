// A small window that drags the files named on its command line as text/uri-list, offering
// copy, move and link, as a file manager does. Pressing in it and moving the pointer starts the
// drag; it prints how the drag ended.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource final : public QWidget {
 public:
  explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
    setWindowTitle(QStringLiteral("DragSource"));
    resize(160, 120);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override { pressed_ = event->position().toPoint(); }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - pressed_).manhattanLength() <
            QApplication::startDragDistance()) {
      return;
    }
    auto* drag = new QDrag(this);
    auto* offered = new QMimeData;
    offered->setUrls(urls_);
    drag->setMimeData(offered);
    const Qt::DropAction result =
        drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    std::printf("drag ended: %d\n", static_cast<int>(result));
    std::fflush(stdout);
  }

 private:
  QList<QUrl> urls_;
  QPoint pressed_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QList<QUrl> urls;
  for (int i = 1; i < argc; ++i) {
    urls.push_back(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i])));
  }
  DragSource window(urls);
  window.show();
  return QApplication::exec();
}
