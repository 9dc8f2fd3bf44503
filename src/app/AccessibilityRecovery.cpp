#include "app/AccessibilityRecovery.h"

#include "foundation/Scheduler.h"
#include "foundation/Url.h"
#include "platform/ApplicationBundle.h"
#include "platform/Processes.h"
#include "platform/Workspace.h"

namespace quayline {

AccessibilityRecovery::AccessibilityRecovery(Processes& processes, Workspace& workspace,
                                             ApplicationBundle& bundle, Scheduler& scheduler,
                                             std::string ownExecutable,
                                             std::function<void()> terminate)
    : processes_(processes),
      workspace_(workspace),
      bundle_(bundle),
      scheduler_(scheduler),
      ownExecutable_(std::move(ownExecutable)),
      terminate_(std::move(terminate)) {}

void AccessibilityRecovery::resetAndRelaunch() {
  const auto identifier = bundle_.infoValue("CFBundleIdentifier");
  const std::string* text = identifier ? identifier->string() : nullptr;
  if (text == nullptr || text->empty()) {
    return;
  }
  if (const auto pid = processes_.launch(resetTool, {"reset", "Accessibility", *text},
                                         Processes::StandardError::discard)) {
    processes_.wait(*pid);
  }
  relaunch();
}

void AccessibilityRecovery::relaunch() {
  processes_.launch(ownExecutable_, {}, Processes::StandardError::discard);
  scheduler_.post(terminate_);
}

void AccessibilityRecovery::openSettings() {
  if (const auto url = Url::parse(settingsURL)) {
    workspace_.openURL(*url);
  }
}

}  // namespace quayline
