#include "platform/linux/QtScheduler.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/linux/QueuedCall.h"

namespace quayline {

namespace {

using Milliseconds = std::chrono::milliseconds;

// Repeating timers at least this long tick on the multiples of their interval on the monotonic
// clock, the clock Qt's timers use. Timers of related intervals (the 1.5 s, 2 s and 3 s polls)
// then fall due at the same instants and share wake-ups instead of each waking the process.
constexpr Milliseconds kAlignedMinimum{100};

Milliseconds toMilliseconds(Scheduler::Seconds interval) {
  return Milliseconds(std::llround(std::clamp(interval.count() * 1000.0, 0.0, 2147483647.0)));
}

// The wait until the multiple of `period` nearest one period from now: between half a period
// and one and a half.
Milliseconds untilAlignedTick(Milliseconds period) {
  const auto now =
      std::chrono::duration_cast<Milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
  const auto tick = (now + period + period / 2) / period * period;
  return tick - now;
}

Subscription startTimer(Scheduler::Seconds interval, bool repeating, Scheduler::Task task) {
  const Milliseconds period = toMilliseconds(interval);
  auto* timer = new QTimer(QCoreApplication::instance());
  timer->setSingleShot(!repeating);
  const bool aligned = repeating && period >= kAlignedMinimum;
  // Coarse timers keep to whole fractions of a second within 5 % of their interval, which holds
  // an aligned timer on its multiples; Qt fires every timer due at one instant together.
  timer->setTimerType(aligned ? Qt::CoarseTimer : Qt::PreciseTimer);
  timer->setInterval(aligned ? untilAlignedTick(period) : period);
  QObject::connect(timer, &QTimer::timeout, timer,
                   [timer, repeating, aligned, period, task = std::move(task)] {
                     if (!repeating) {
                       timer->deleteLater();  // after the task: the handle's cancel is a no-op
                     } else if (aligned && timer->intervalAsDuration() != period) {
                       timer->setInterval(period);  // the first tick is in step from now on
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
  queueCall(QCoreApplication::instance(), std::move(task));
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
