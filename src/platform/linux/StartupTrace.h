#pragma once

#include <QObject>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace quayline {

// Where the start-up's time goes. When `QUAYLINE_STARTUP_TRACE` names a file, each phase's end is
// marked on the monotonic clock and, once the first frame has been painted, the marks are written
// there as "phase<TAB>nanoseconds" lines (the clock's own count, so another program can set them
// against the moment it started this one). Otherwise marking costs nothing.
class StartupTrace final : public QObject {
 public:
  // `path` null or empty: off.
  explicit StartupTrace(const char* path);

  bool enabled() const { return !path_.empty(); }
  void mark(const char* phase);
  // Marks "first paint" at the first paint event anywhere in the application, then writes.
  void watchFirstPaint();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void write() const;

  std::string path_;
  std::vector<std::pair<const char*, std::chrono::steady_clock::time_point>> marks_;
};

}  // namespace quayline
