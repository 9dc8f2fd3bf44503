#pragma once

#include <xcb/xcb.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/Signal.h"
#include "foundation/Subscription.h"
#include "platform/SystemLog.h"
#include "platform/linux/x11/Atoms.h"
#include "platform/linux/x11/XReply.h"

class QObject;
class QSocketNotifier;

namespace quayline::x11 {

using Deadline = std::chrono::steady_clock::time_point;

// A connection to the X server. Events are read on the main thread (a socket notifier on the Qt
// event loop) and handed to listeners there; requests and replies may come from any thread, since
// libxcb serialises them itself.
class XConnection {
 public:
  enum class Events {
    // Read on the main thread and handed to listeners: the process's main connection.
    dispatched,
    // Read only with the replies, by the threads waiting for them, and seen by destruction
    // observers alone: a connection for reads off the main thread, whose replies never wake it.
    // Its waits trade a millisecond of latency for fewer wake-ups.
    destructionsOnly,
  };

  // Connects to `displayName` (DISPLAY when null). Nothing when no server answers. A
  // QCoreApplication must exist; the object belongs to the main thread.
  static std::unique_ptr<XConnection> open(SystemLog& log, const char* displayName = nullptr,
                                           Events events = Events::dispatched);
  ~XConnection();
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  xcb_connection_t* raw() const { return connection_; }
  xcb_window_t root() const { return root_; }
  const Atoms& atoms() const { return atoms_; }
  xcb_atom_t atom(Atom name) const { return atoms_[name]; }
  // The bits of a resource id that a client allocates; the rest names the client connection.
  std::uint32_t resourceIdMask() const { return resourceIdMask_; }

  // Whether the connection has failed; every wait then answers nothing at once.
  bool isLost();
  // Called once on the main thread when the connection fails. The failure is logged (category
  // "x11") before the observers run.
  Subscription observeLoss(std::function<void()> observer);

  // Events, on the main thread, in the order the server sent them.
  Subscription listen(std::function<void(const xcb_generic_event_t&)> listener);
  // Called on whichever thread reads a DestroyNotify off the socket, as soon as it is read: by the
  // time a reply arrives, every window destroyed before the server answered has been reported.
  // Observers must be quick and must not call back into the connection.
  Subscription observeDestruction(std::function<void(xcb_window_t)> observer);

  // Adds `mask` to the events this connection selects on `window` (with what it selected there
  // before).
  void selectInput(xcb_window_t window, std::uint32_t mask);
  // Drops what `selectInput` remembered of a window that is gone.
  void forgetWindow(xcb_window_t window);

  // The reply to an earlier request, waiting at most until `deadline`. A request abandoned at the
  // deadline is discarded. `error`, when given, receives the X error the request caused.
  template <typename Reply>
  XReply<Reply> take(unsigned int sequence, Deadline deadline,
                     XReply<xcb_generic_error_t>* error = nullptr) {
    return XReply<Reply>(static_cast<Reply*>(waitForReply(sequence, deadline, error)));
  }

  void flush();
  // A round trip: every request sent before it has reached the server when it returns.
  bool sync(Deadline deadline);

  // The server's time now, for requests made on the user's behalf: window managers that prevent
  // focus stealing refuse a request whose time is older than the user's last interaction, so the
  // time of some earlier event will not do. Costs a round trip (a zero-length append to a
  // property of a window of our own, whose PropertyNotify carries the time). CurrentTime (0)
  // only when the server does not answer in time.
  xcb_timestamp_t currentTime();

  // How many replies were asked for after more requests had gone out: the exchanges with the
  // server (a batch of requests whose replies are collected together counts once), for the
  // benchmarks.
  std::uint64_t roundTrips() const { return roundTrips_.load(std::memory_order_relaxed); }

  // A 32-bit client message sent to the root with the mask window managers listen to.
  void sendToRoot(xcb_window_t window, Atom type, std::array<std::uint32_t, 5> data);

  // Events read by any thread while it waited for a reply are queued here, then dispatched on the
  // main thread; exposed for the benchmark and tests that read without an event loop.
  void dispatchPendingEvents();

 private:
  XConnection(SystemLog& log, xcb_connection_t* connection, int screen, Events events);
  void* waitForReply(unsigned int sequence, Deadline deadline, XReply<xcb_generic_error_t>* error);
  void readEvents();
  // Moves events libxcb already read into our queue and asks the main thread to deliver them.
  void collectQueuedEvents();
  // Whether the event was queued for the listeners.
  bool enqueue(xcb_generic_event_t* event);
  void reportLoss();
  // Notes the time of a PropertyNotify on `timeWindow_`; false for any other event.
  bool noteTime(const xcb_generic_event_t& event);
  // Signals every thread waiting for a reply but the one whose descriptor is `except`.
  void wakeWaiters(int except);
  // A thread's wake-up descriptor, listed while it waits for a reply.
  class WaitRegistration {
   public:
    WaitRegistration(XConnection& connection, int descriptor);
    ~WaitRegistration();
    WaitRegistration(const WaitRegistration&) = delete;
    WaitRegistration& operator=(const WaitRegistration&) = delete;

   private:
    XConnection& connection_;
    int descriptor_;
  };

  SystemLog& log_;
  xcb_connection_t* connection_;
  Events events_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
  std::uint32_t resourceIdMask_ = 0;
  Atoms atoms_;
  xcb_window_t timeWindow_ = XCB_WINDOW_NONE;
  std::atomic<bool> lost_{false};
  std::atomic<std::uint64_t> roundTrips_{0};
  std::atomic<std::uint64_t> writtenAtLastRoundTrip_{0};

  std::unique_ptr<QObject> mainThread_;  // context of posted work; dropping it cancels the posts
  std::unique_ptr<QSocketNotifier> notifier_;
  Signal<xcb_generic_event_t> listeners_;
  Signal<> lossObservers_;

  std::mutex mutex_;
  std::deque<XReply<xcb_generic_event_t>> pending_;
  bool dispatchPosted_ = false;
  std::map<xcb_window_t, std::uint32_t> selected_;

  std::mutex waitersMutex_;
  std::vector<int> waiters_;

  std::mutex destructionMutex_;
  std::map<std::uint64_t, std::function<void(xcb_window_t)>> destructionObservers_;
  std::uint64_t nextObserver_ = 0;

  // Times of the appends `currentTime` made, by the (16-bit) sequence number of the request.
  std::mutex timeMutex_;
  std::condition_variable timeArrived_;
  std::deque<std::pair<std::uint16_t, xcb_timestamp_t>> times_;
};

}  // namespace quayline::x11
