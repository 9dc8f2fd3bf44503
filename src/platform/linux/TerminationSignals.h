#pragma once

#include <functional>
#include <memory>

namespace quayline {

// Turns SIGINT, SIGTERM and SIGHUP into a call on the main thread, so that every orderly end
// runs the same termination path as quitting from the menu. Needs a running Qt event loop.
class TerminationSignals {
 public:
  explicit TerminationSignals(std::function<void(int signal)> onSignal);
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  struct Notifier;
  std::unique_ptr<Notifier> notifier_;
};

}  // namespace quayline
