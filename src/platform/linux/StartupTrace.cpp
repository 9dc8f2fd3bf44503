#include "platform/linux/StartupTrace.h"

#include <QCoreApplication>
#include <QEvent>
#include <fstream>

namespace quayline {

StartupTrace::StartupTrace(const char* path) : path_(path != nullptr ? path : "") {
  marks_.reserve(16);
}

void StartupTrace::mark(const char* phase) {
  if (enabled()) {
    marks_.emplace_back(phase, std::chrono::steady_clock::now());
  }
}

void StartupTrace::watchFirstPaint() {
  if (enabled()) {
    QCoreApplication::instance()->installEventFilter(this);
  }
}

bool StartupTrace::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint) {
    QCoreApplication::instance()->removeEventFilter(this);
    mark("first paint");
    write();
  }
  return QObject::eventFilter(watched, event);
}

void StartupTrace::write() const {
  std::ofstream out(path_, std::ios::trunc);
  for (const auto& [phase, at] : marks_) {
    out << phase << '\t'
        << std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count()
        << '\n';
  }
}

}  // namespace quayline
