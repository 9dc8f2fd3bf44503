#pragma once

#include <QObject>
#include <QPointF>
#include <optional>

#include "dock/DroppedFiles.h"

class QDropEvent;

namespace quayline {

class DockDropHandler;
class DockRowView;
class FileOperations;
class SerialQueue;
class SystemLog;
class TrashDropFeedback;
class Workspace;

// What the dock windows' drop handlers use besides the tile store and the scheduler; the
// composition root owns it all.
struct DockDropServices {
  Workspace& workspace;
  FileOperations& files;
  // Moves and trashing run here, off the main thread.
  SerialQueue& fileQueue;
  TrashDropFeedback& trash;
  SystemLog& log;
};

// Files dragged onto a dock view, from any source of file URLs (XDND's text/uri-list on X11).
// It filters the drag-and-drop events of the widget it is installed on, which it makes accept
// drops: a drag offering at least one local file is let in, each move asks the drop handler
// what a drop there would do, and a drop is handed to it. Everything else passes untouched.
class DockDropTarget final : public QObject {
 public:
  DockDropTarget(QWidget& view, DockRowView& row, DockDropHandler& handler, FileOperations& files);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The position along the row, as the handler measures it (the first tile's left edge at 2).
  double rowX(QPointF viewPosition) const;
  // Answers the source for the event's position; whether a drop there would do something.
  bool decide(QDropEvent& event, const DroppedFiles& files);

  QWidget& view_;
  DockRowView& row_;
  DockDropHandler& handler_;
  FileOperations& files_;
  // The drag in progress: its files are read from the source once, when it enters.
  std::optional<DroppedFiles> dragged_;
};

}  // namespace quayline
