#include "system/UpdateService.h"

namespace quayline {

UpdateService::Report UpdateService::checkForUpdates() {
  const Updater::Source source = updater_.source();
  Report report{"Check for Updates", {}};
  if (source.package) {
    report.text = "Quayline " + version_ + " is installed from the package \"" +
                  source.package->name + "\", version " + source.package->version +
                  ".\n\nUpdates come through your system's software updates.";
    return report;
  }
  report.text = "This copy of Quayline (" + version_ + ") was not installed from a package";
  if (source.problem) {
    report.text += " as far as can be told: " + *source.problem;
  }
  report.text +=
      ".\n\nIt is not updated automatically. Install Quayline from your system's packages to "
      "receive updates with your software updates.";
  return report;
}

}  // namespace quayline
