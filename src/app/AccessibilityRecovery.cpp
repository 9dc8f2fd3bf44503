#include "app/AccessibilityRecovery.h"

#include "foundation/Url.h"
#include "platform/ApplicationBundle.h"
#include "platform/Processes.h"
#include "platform/Workspace.h"
#include "system/Relaunch.h"

namespace quayline {

AccessibilityRecovery::AccessibilityRecovery(Processes& processes, Workspace& workspace,
                                             ApplicationBundle& bundle, Relaunch& relaunch)
    : processes_(processes), workspace_(workspace), bundle_(bundle), relaunch_(relaunch) {}

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
  relaunch_.relaunch();
}

void AccessibilityRecovery::openSettings() {
  if (const auto url = Url::parse(settingsURL)) {
    workspace_.openURL(*url);
  }
}

}  // namespace quayline
