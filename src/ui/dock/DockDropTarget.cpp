#include "ui/dock/DockDropTarget.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <utility>
#include <vector>

#include "dock/DockDropHandler.h"
#include "dock/DockLayout.h"
#include "ui/dock/DockRowView.h"

namespace quayline {

namespace {

DragOperationMask offeredOperations(Qt::DropActions actions) {
  DragOperationMask mask = 0;
  if (actions.testFlag(Qt::CopyAction)) {
    mask |= static_cast<unsigned>(DragOperation::copy);
  }
  if (actions.testFlag(Qt::MoveAction)) {
    mask |= static_cast<unsigned>(DragOperation::move);
  }
  if (actions.testFlag(Qt::LinkAction)) {
    mask |= static_cast<unsigned>(DragOperation::link);
  }
  return mask;
}

Qt::DropAction dropAction(DragOperation operation) {
  switch (operation) {
    case DragOperation::copy:
    case DragOperation::generic:
      return Qt::CopyAction;
    case DragOperation::link:
      return Qt::LinkAction;
    case DragOperation::move:
      return Qt::MoveAction;
    case DragOperation::none:
      break;
  }
  return Qt::IgnoreAction;
}

// The local files among the offered URLs; a file URL naming another host is no local file.
std::vector<Url> localFiles(const QMimeData& data) {
  std::vector<Url> urls;
  if (!data.hasUrls()) {
    return urls;
  }
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile() && (url.host().isEmpty() || url.host() == QLatin1String("localhost"))) {
      urls.push_back(Url::fileURL(url.toLocalFile().toStdString()));
    }
  }
  return urls;
}

}  // namespace

DockDropTarget::DockDropTarget(QWidget& view, DockRowView& row, DockDropHandler& handler,
                               FileOperations& files)
    : QObject(&view), view_(view), row_(row), handler_(handler), files_(files) {
  view_.setAcceptDrops(true);
  view_.installEventFilter(this);
}

double DockDropTarget::rowX(QPointF viewPosition) const {
  const QPointF inRow = row_.mapFrom(&view_, viewPosition);
  const double restingLeft = (row_.width() - row_.geometry().restWidth) * 0.5;
  return inRow.x() - restingLeft + DockLayout::rowInset;
}

bool DockDropTarget::decide(QDropEvent& event, const DroppedFiles& files) {
  const DragOperation operation =
      negotiatedOperation(handler_.operation(files, rowX(event.position())),
                          offeredOperations(event.possibleActions()));
  if (operation == DragOperation::none) {
    event.setDropAction(Qt::IgnoreAction);
    return false;
  }
  event.setDropAction(dropAction(operation));
  return true;
}

bool DockDropTarget::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &view_) {
    return false;
  }
  switch (event->type()) {
    case QEvent::DragEnter: {
      auto& enter = static_cast<QDragEnterEvent&>(*event);
      dragged_.emplace(enter.mimeData() ? localFiles(*enter.mimeData()) : std::vector<Url>{},
                       files_);
      if (dragged_->empty()) {
        dragged_.reset();
        enter.ignore();
        return true;
      }
      // Let the drag in even where it would do nothing yet; each move decides.
      decide(enter, *dragged_);
      enter.accept();
      return true;
    }
    case QEvent::DragMove: {
      auto& move = static_cast<QDragMoveEvent&>(*event);
      if (dragged_ && decide(move, *dragged_)) {
        move.accept();
      } else {
        move.ignore();
      }
      return true;
    }
    case QEvent::DragLeave:
      dragged_.reset();
      return true;
    case QEvent::Drop: {
      auto& drop = static_cast<QDropEvent&>(*event);
      std::optional<DroppedFiles> dropped = std::exchange(dragged_, std::nullopt);
      if (dropped && decide(drop, *dropped) && handler_.perform(*dropped, rowX(drop.position()))) {
        drop.accept();
      } else {
        drop.setDropAction(Qt::IgnoreAction);
        drop.ignore();
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace quayline
