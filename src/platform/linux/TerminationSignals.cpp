#include "platform/linux/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>

namespace quayline {

namespace {

// The handler may only do async-signal-safe work: it writes the signal number into a pipe
// that the main loop watches.
int gWriteEnd = -1;

void forwardSignal(int signal) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(signal);
  [[maybe_unused]] auto written = ::write(gWriteEnd, &byte, 1);
  errno = saved;
}

constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP};

}  // namespace

struct TerminationSignals::Notifier {
  int fds[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier;
};

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal)
    : notifier_(std::make_unique<Notifier>()) {
  if (::pipe2(notifier_->fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    return;  // without the pipe the default actions stay: the process still ends
  }
  gWriteEnd = notifier_->fds[1];
  notifier_->notifier = std::make_unique<QSocketNotifier>(notifier_->fds[0], QSocketNotifier::Read);
  QObject::connect(notifier_->notifier.get(), &QSocketNotifier::activated,
                   [fd = notifier_->fds[0], onSignal = std::move(onSignal)] {
                     unsigned char byte = 0;
                     while (::read(fd, &byte, 1) == 1) {
                       onSignal(byte);
                     }
                   });
  struct sigaction action {};
  action.sa_handler = forwardSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kSignals) {
    ::sigaction(signal, &action, nullptr);
  }
}

TerminationSignals::~TerminationSignals() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int signal : kSignals) {
    ::sigaction(signal, &action, nullptr);
  }
  gWriteEnd = -1;
  notifier_->notifier.reset();
  for (int fd : notifier_->fds) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
}

}  // namespace quayline
