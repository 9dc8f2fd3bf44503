#include "platform/linux/x11/XConnection.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xcbext.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>
#include <algorithm>
#include <bit>
#include <string>

#include "platform/linux/QueuedCall.h"

namespace quayline::x11 {

namespace {

// A waiting thread sleeps until the socket or another reader wakes it. libxcb may also read the
// socket while it writes a large batch; this bounds how late a reply read that way is noticed.
constexpr auto kPollSlice = std::chrono::milliseconds(100);
// The server sends the replies to a batch in pieces (a reply's header apart from its data; a busy
// server flushes between requests), and libxcb sleeps until a piece it has begun to read is
// whole. Woken by a piece that does not complete the awaited reply, a thread naps instead of
// waking for every further piece, for twice as long each time up to two milliseconds. A
// connection for reads off the main thread naps from the start: a millisecond later, a batch has
// mostly arrived whole.
constexpr auto kFirstNap = std::chrono::milliseconds(1);
constexpr auto kLongestNap = std::chrono::milliseconds(2);

// The calling thread's wake-up descriptor: other threads that read the socket signal it while
// this thread waits for a reply.
int threadWakeDescriptor() {
  struct Descriptor {
    Descriptor() : fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~Descriptor() {
      if (fd >= 0) {
        ::close(fd);
      }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
  };
  thread_local Descriptor descriptor;
  return descriptor.fd;
}

// How long `currentTime` waits for the server.
constexpr auto kTimeTimeout = std::chrono::seconds(1);
// How many answered time requests are remembered for the threads still waiting for theirs.
constexpr std::size_t kKeptTimes = 32;

}  // namespace

std::unique_ptr<XConnection> XConnection::open(SystemLog& log, const char* displayName,
                                               Events events) {
  int screen = 0;
  xcb_connection_t* connection = xcb_connect(displayName, &screen);
  if (xcb_connection_has_error(connection) != 0) {
    xcb_disconnect(connection);
    log.log("x11", "cannot connect to the X server");
    return nullptr;
  }
  return std::unique_ptr<XConnection>(new XConnection(log, connection, screen, events));
}

XConnection::XConnection(SystemLog& log, xcb_connection_t* connection, int screen, Events events)
    : log_(log),
      connection_(connection),
      events_(events),
      mainThread_(std::make_unique<QObject>()) {
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  resourceIdMask_ = setup->resource_id_mask;
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
  for (int i = 0; i < screen && screens.rem > 0; ++i) {
    xcb_screen_next(&screens);
  }
  if (screens.rem > 0) {
    root_ = screens.data->root;
  }
  atoms_.intern(connection_);
  // Never mapped, never managed: it exists only to have its property changed.
  timeWindow_ = xcb_generate_id(connection_);
  const std::uint32_t values[] = {1, XCB_EVENT_MASK_PROPERTY_CHANGE};
  xcb_create_window(connection_, XCB_COPY_FROM_PARENT, timeWindow_, root_, -100, -100, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                    XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
  if (events_ != Events::dispatched) {
    return;
  }

  notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_),
                                                QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, mainThread_.get(),
                   [this] { readEvents(); });
  // libxcb also reads events while it writes requests or waits for replies; those never wake the
  // notifier, so the queue is looked at whenever the loop is about to sleep. Requests made
  // without a flush of their own (a selection, a state change) go out then too: nothing else
  // may flush this connection for a long time.
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, mainThread_.get(),
                     [this] {
                       flush();
                       dispatchPendingEvents();
                     });
  }
}

XConnection::~XConnection() {
  notifier_.reset();
  mainThread_.reset();
  if (xcb_connection_has_error(connection_) == 0) {
    // Requests still buffered or in flight would be lost by a plain disconnect.
    XReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
  }
  xcb_disconnect(connection_);
}

bool XConnection::isLost() {
  if (lost_.load()) {
    return true;
  }
  if (xcb_connection_has_error(connection_) != 0) {
    reportLoss();
    return true;
  }
  return false;
}

Subscription XConnection::observeLoss(std::function<void()> observer) {
  return lossObservers_.connect([observer = std::move(observer)] { observer(); });
}

Subscription XConnection::listen(std::function<void(const xcb_generic_event_t&)> listener) {
  return listeners_.connect(std::move(listener));
}

void XConnection::selectInput(xcb_window_t window, std::uint32_t mask) {
  std::uint32_t combined = 0;
  {
    // Sent even when nothing is new: the record may describe an earlier window with the same id
    // that was destroyed before its selection took effect.
    std::lock_guard lock(mutex_);
    std::uint32_t& selected = selected_[window];
    selected |= mask;
    combined = selected;
  }
  xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &combined);
}

void XConnection::forgetWindow(xcb_window_t window) {
  std::lock_guard lock(mutex_);
  selected_.erase(window);
}

void XConnection::flush() {
  if (xcb_flush(connection_) <= 0) {
    isLost();
  }
  collectQueuedEvents();
}

bool XConnection::sync(Deadline deadline) {
  const auto cookie = xcb_get_input_focus(connection_);
  return take<xcb_get_input_focus_reply_t>(cookie.sequence, deadline) != nullptr;
}

xcb_timestamp_t XConnection::currentTime() {
  const auto deadline = std::chrono::steady_clock::now() + kTimeTimeout;
  const auto sequence = static_cast<std::uint16_t>(
      xcb_change_property(connection_, XCB_PROP_MODE_APPEND, timeWindow_, XCB_ATOM_WM_NAME,
                          XCB_ATOM_STRING, 8, 0, nullptr)
          .sequence);
  // The server sends the append's event before the reply to any later request, so once the
  // round trip is back the event has been read, by this thread or another.
  if (!sync(deadline)) {
    return XCB_CURRENT_TIME;
  }
  std::unique_lock lock(timeMutex_);
  xcb_timestamp_t time = XCB_CURRENT_TIME;
  timeArrived_.wait_until(lock, deadline, [&] {
    const auto found = std::find_if(times_.begin(), times_.end(),
                                    [&](const auto& entry) { return entry.first == sequence; });
    if (found == times_.end()) {
      return false;
    }
    time = found->second;
    return true;
  });
  return time;
}

bool XConnection::noteTime(const xcb_generic_event_t& event) {
  if ((event.response_type & ~0x80) != XCB_PROPERTY_NOTIFY) {
    return false;
  }
  const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
  if (notify.window != timeWindow_) {
    return false;
  }
  {
    std::lock_guard lock(timeMutex_);
    times_.emplace_back(notify.sequence, notify.time);
    if (times_.size() > kKeptTimes) {
      times_.pop_front();
    }
  }
  timeArrived_.notify_all();
  return true;
}

void XConnection::sendToRoot(xcb_window_t window, Atom type, std::array<std::uint32_t, 5> data) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = atoms_[type];
  std::copy(data.begin(), data.end(), message.data.data32);
  xcb_send_event(connection_, 0, root_,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
}

void* XConnection::waitForReply(unsigned int sequence, Deadline deadline,
                                XReply<xcb_generic_error_t>* error) {
  if (isLost()) {
    return nullptr;
  }
  xcb_flush(connection_);
  if (const std::uint64_t written = xcb_total_written(connection_);
      writtenAtLastRoundTrip_.exchange(written) < written) {
    roundTrips_.fetch_add(1, std::memory_order_relaxed);
  }
  const int wake = threadWakeDescriptor();
  WaitRegistration registration(*this, wake);
  // None: the thread watches the socket.
  std::chrono::milliseconds nap =
      events_ == Events::dispatched ? std::chrono::milliseconds(0) : kFirstNap;
  for (;;) {
    void* reply = nullptr;
    xcb_generic_error_t* failure = nullptr;
    const bool answered = xcb_poll_for_reply(connection_, sequence, &reply, &failure) != 0;
    // The poll may have read replies other threads wait for.
    wakeWaiters(wake);
    if (answered) {
      if (error != nullptr) {
        error->reset(failure);
      } else {
        std::free(failure);
      }
      collectQueuedEvents();
      return reply;
    }
    if (isLost()) {
      return nullptr;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) {
      xcb_discard_reply(connection_, sequence);
      collectQueuedEvents();
      return nullptr;
    }
    const bool napping = nap.count() > 0;
    const auto slice = std::min<std::chrono::steady_clock::duration>(
        deadline - now, napping ? std::chrono::steady_clock::duration(nap) : kPollSlice);
    std::array<pollfd, 2> descriptors{pollfd{wake, POLLIN, 0},
                                      pollfd{xcb_get_file_descriptor(connection_), POLLIN, 0}};
    // Rounded up when watching, so a wait never ends just before the deadline it waits for.
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(slice).count() + (napping ? 0 : 1);
    // A nap watches the wake-up descriptor alone; without one, only the time bounds the wait.
    const int first = wake >= 0 ? 0 : 1;
    ::poll(descriptors.data() + first, (napping ? 1 : 2) - first, static_cast<int>(milliseconds));
    if (wake >= 0 && (descriptors[0].revents & POLLIN) != 0) {
      std::uint64_t count = 0;
      [[maybe_unused]] const auto drained = ::read(wake, &count, sizeof count);
    }
    if (napping) {
      nap = std::min(2 * nap, kLongestNap);
    } else if ((descriptors[1].revents & POLLIN) != 0) {
      nap = kFirstNap;
    }
  }
}

XConnection::WaitRegistration::WaitRegistration(XConnection& connection, int descriptor)
    : connection_(connection), descriptor_(descriptor) {
  if (descriptor_ >= 0) {
    std::lock_guard lock(connection_.waitersMutex_);
    connection_.waiters_.push_back(descriptor_);
  }
}

XConnection::WaitRegistration::~WaitRegistration() {
  if (descriptor_ >= 0) {
    std::lock_guard lock(connection_.waitersMutex_);
    auto& waiters = connection_.waiters_;
    waiters.erase(std::find(waiters.begin(), waiters.end(), descriptor_));
  }
}

void XConnection::wakeWaiters(int except) {
  std::lock_guard lock(waitersMutex_);
  for (const int descriptor : waiters_) {
    if (descriptor != except) {
      const std::uint64_t one = 1;
      [[maybe_unused]] const auto written = ::write(descriptor, &one, sizeof one);
    }
  }
}

void XConnection::readEvents() {
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    enqueue(event);
  }
  // Replies read with the events belong to threads that may be asleep waiting for them.
  wakeWaiters(-1);
  if (isLost()) {
    return;
  }
  dispatchPendingEvents();
}

void XConnection::collectQueuedEvents() {
  bool post = false;
  while (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection_)) {
    if (!enqueue(event)) {
      continue;
    }
    std::lock_guard lock(mutex_);
    if (!dispatchPosted_) {
      dispatchPosted_ = true;
      post = true;
    }
  }
  if (post) {
    queueCall(mainThread_.get(), [this] { dispatchPendingEvents(); });
  }
}

bool XConnection::enqueue(xcb_generic_event_t* event) {
  if (noteTime(*event)) {
    std::free(event);  // of no interest to listeners
    return false;
  }
  if ((event->response_type & ~0x80) == XCB_DESTROY_NOTIFY) {
    const xcb_window_t window = reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window;
    // The server may give the id to another window soon; that one needs its own selection.
    forgetWindow(window);
    std::lock_guard lock(destructionMutex_);
    for (const auto& [id, observer] : destructionObservers_) {
      observer(window);
    }
  }
  if (events_ != Events::dispatched) {
    std::free(event);
    return false;
  }
  std::lock_guard lock(mutex_);
  pending_.emplace_back(event);
  return true;
}

Subscription XConnection::observeDestruction(std::function<void(xcb_window_t)> observer) {
  std::lock_guard lock(destructionMutex_);
  const std::uint64_t id = nextObserver_++;
  destructionObservers_.emplace(id, std::move(observer));
  return Subscription([this, id] {
    std::lock_guard unlock(destructionMutex_);
    destructionObservers_.erase(id);
  });
}

void XConnection::dispatchPendingEvents() {
  for (;;) {
    XReply<xcb_generic_event_t> event;
    {
      std::lock_guard lock(mutex_);
      dispatchPosted_ = false;
      if (pending_.empty()) {
        return;
      }
      event = std::move(pending_.front());
      pending_.pop_front();
    }
    listeners_.emit(*event);
  }
}

void XConnection::reportLoss() {
  if (lost_.exchange(true)) {
    return;
  }
  const int code = xcb_connection_has_error(connection_);
  // The report runs on the main thread whichever thread noticed; the notifier stops there so a
  // socket left readable at end of file cannot wake the loop again and again.
  queueCall(mainThread_.get(), [this, code] {
    if (notifier_) {
      notifier_->setEnabled(false);
    }
    log_.log("x11", "connection to the X server lost (error " + std::to_string(code) + ")");
    lossObservers_.emit();
  });
}

}  // namespace quayline::x11
