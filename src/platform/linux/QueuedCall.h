#pragma once

#include <QMetaObject>
#include <QObject>
#include <utility>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
#endif

namespace quayline {

#if defined(__SANITIZE_THREAD__)
// What a queued call ordered before it: every post releases it, every run acquires it.
inline char queuedCallOrder;
#endif

// Runs `call` from the event loop of `context`'s thread, from any thread. Qt's event queue orders
// the poster's writes before the call, but under a lock ThreadSanitizer cannot see in an
// uninstrumented Qt; the annotations tell it what the queue guarantees. The queued call's own
// object is built inside the post, after the release, and handed over under that lock too: its
// building is not watched.
template <typename Call>
void queueCall(QObject* context, Call&& call) {
#if defined(__SANITIZE_THREAD__)
  __tsan_release(&queuedCallOrder);
  __tsan_ignore_thread_begin();
  QMetaObject::invokeMethod(
      context,
      [call = std::forward<Call>(call)]() mutable {
        __tsan_acquire(&queuedCallOrder);
        call();
      },
      Qt::QueuedConnection);
  __tsan_ignore_thread_end();
#else
  QMetaObject::invokeMethod(context, std::forward<Call>(call), Qt::QueuedConnection);
#endif
}

}  // namespace quayline
