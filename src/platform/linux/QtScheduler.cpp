#include "platform/linux/QtScheduler.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cmath>

namespace quayline {

namespace {

Subscription startTimer(Scheduler::Seconds interval, bool repeating, Scheduler::Task task) {
  const double milliseconds = std::max(0.0, interval.count() * 1000.0);
  auto* timer = new QTimer(QCoreApplication::instance());
  timer->setTimerType(Qt::PreciseTimer);
  timer->setSingleShot(!repeating);
  timer->setInterval(static_cast<int>(std::min(milliseconds, 2147483647.0)));
  QObject::connect(timer, &QTimer::timeout, timer, [timer, repeating, task = std::move(task)] {
    if (!repeating) {
      timer->deleteLater();  // after the task, so the handle's cancel is a harmless no-op
    }
    task();
  });
  timer->start();
  QPointer<QTimer> guarded(timer);
  return Subscription([guarded] {
    if (guarded) {
      guarded->stop();
      guarded->deleteLater();
    }
  });
}

}  // namespace

void QtScheduler::post(Task task) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

Subscription QtScheduler::after(Seconds delay, Task task) {
  return startTimer(delay, false, std::move(task));
}

Subscription QtScheduler::every(Seconds interval, Task task) {
  return startTimer(interval, true, std::move(task));
}

double QtScheduler::wallClock() const {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

double QtScheduler::monotonic() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace quayline
