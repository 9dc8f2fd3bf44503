#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <functional>

// The main thread's Qt event loop, for tests of adapters that report through it.
namespace quayline::QtEventLoop {

inline void ensureApplication() {
  if (QCoreApplication::instance() != nullptr) {
    return;
  }
  // Qt keeps references to both for the application's whole life.
  static int argc = 1;
  static char name[] = "quayline";
  static char* argv[] = {name, nullptr};
  new QCoreApplication(argc, argv);
}

inline bool runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  QElapsedTimer timer;
  timer.start();
  // Wakes the wait below now and then, so the condition is checked even when nothing happens.
  QTimer tick;
  tick.start(20);
  while (!condition()) {
    if (timer.elapsed() > timeout.count()) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

}  // namespace quayline::QtEventLoop
