#include "system/SystemDockVisibility.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "foundation/FileReading.h"
#include "system/AtomicFile.h"

namespace quayline {

namespace {

constexpr std::string_view logCategory = "dock";

PropertyValue::Dictionary readSnapshotFile(const std::filesystem::path& path) {
  // A missing or unreadable snapshot (even a folder in its place) reads as empty.
  const auto bytes = readFile(path);
  if (!bytes) {
    return {};
  }
  auto decoded = decodePropertyList(std::string_view(*bytes));
  if (!decoded || decoded->dictionary() == nullptr) {
    return {};
  }
  return *decoded->dictionary();
}

}  // namespace

SystemDockVisibility::SystemDockVisibility(PreferenceDomains& preferences, Processes& processes,
                                           ApplicationBundle& bundle, Paths& paths, SystemLog& log)
    : preferences_(preferences), processes_(processes), bundle_(bundle), paths_(paths), log_(log) {}

bool SystemDockVisibility::hidesSystemDock() {
  auto value = bundle_.infoValue(infoKey);
  return value && value->boolean() != nullptr && *value->boolean();
}

void SystemDockVisibility::recoverAtLaunch() {
  std::error_code error;
  if (hidesSystemDock() && std::filesystem::exists(snapshotPath(), error)) {
    restore();
  }
}

void SystemDockVisibility::hideAtLaunch() {
  if (hidesSystemDock()) {
    hideSystemDock();
  }
}

void SystemDockVisibility::restoreAtTermination() {
  if (handedOver_) {
    return;  // the dock and its snapshot belong to the copy that replaced this one
  }
  // A run that left the dock alone (its settings could not be recorded) has nothing to undo:
  // restoring without a snapshot would remove the user's own values.
  std::error_code error;
  if (hidesSystemDock() && (hidThisRun_ || std::filesystem::exists(snapshotPath(), error))) {
    restore();
  }
}

void SystemDockVisibility::handOver() {
  if (hidesSystemDock() && !handedOver_) {
    restoreAtTermination();
  }
  handedOver_ = true;
  hidThisRun_ = false;
}

void SystemDockVisibility::takeBack() {
  handedOver_ = false;
  hideAtLaunch();
}

void SystemDockVisibility::hideSystemDock() {
  std::error_code error;
  // An existing snapshot still holds the user's settings and is never overwritten.
  if (!std::filesystem::exists(snapshotPath(), error) && !takeSnapshot()) {
    return;
  }
  preferences_.set(domain, keys[0], PropertyValue(true));
  preferences_.set(domain, keys[1], PropertyValue(hiddenDelay));
  preferences_.set(domain, keys[2], PropertyValue(std::int64_t{0}));
  preferences_.synchronize(domain);
  hidThisRun_ = true;
  restartDock();
  startWatchdog();
}

bool SystemDockVisibility::takeSnapshot() {
  const auto path = snapshotPath();
  std::error_code directoryError;
  std::filesystem::create_directories(path.parent_path(), directoryError);

  preferences_.synchronize(domain);
  PropertyValue::Dictionary recorded;
  for (auto key : keys) {
    if (auto value = preferences_.copy(domain, key)) {
      recorded.emplace(std::string(key), std::move(*value));
    }
  }
  // The domain already holds our values (a run that never restored): the dock's defaults are a
  // better record of the user's settings than those.
  if (looksHiddenByUs(recorded)) {
    recorded.clear();
  }

  std::string reason;
  if (directoryError) {
    reason = "cannot create " + path.parent_path().string() + ": " + directoryError.message();
  } else if (!writeFileAtomically(path, encodeXmlPropertyList(PropertyValue(recorded)), &reason)) {
    reason = path.string() + ": " + reason;
  } else {
    return true;
  }
  log_.log(logCategory,
           "system dock left visible: its settings could not be recorded (" + reason + ")");
  return false;
}

void SystemDockVisibility::restore() {
  if (watchdog_ && watchdog_->pid) {
    processes_.terminate(*watchdog_->pid);
  }
  watchdog_.reset();
  restoreFrom(snapshotPath());
}

void SystemDockVisibility::restoreFrom(const std::filesystem::path& snapshot) {
  PropertyValue::Dictionary recorded = readSnapshotFile(snapshot);
  if (looksHiddenByUs(recorded)) {
    recorded.clear();
  }
  for (auto key : keys) {
    auto entry = recorded.find(std::string(key));
    preferences_.set(
        domain, key,
        entry == recorded.end() ? std::nullopt : std::optional<PropertyValue>(entry->second));
  }
  // Once the domain holds the hide values the snapshot is the only record of the user's
  // settings: it goes only when they are safely back, otherwise the next launch retries.
  if (preferences_.synchronize(domain)) {
    std::error_code ignored;
    std::filesystem::remove(snapshot, ignored);
  } else {
    log_.log(logCategory, "system dock settings could not be written back; keeping " +
                              snapshot.string() + " for the next launch");
  }
  restartDock();
}

bool SystemDockVisibility::looksHiddenByUs(const PropertyValue::Dictionary& dictionary) {
  if (dictionary.empty()) {
    return false;
  }
  auto delay = dictionary.find(std::string(keys[1]));
  if (delay == dictionary.end()) {
    return false;
  }
  if (const auto* integer = delay->second.integer()) {
    return *integer == hiddenDelay;
  }
  // A real's integer value is its truncation.
  if (const auto* real = delay->second.real()) {
    return std::isfinite(*real) && std::trunc(*real) == static_cast<double>(hiddenDelay);
  }
  return false;
}

void SystemDockVisibility::restartDock() {
  // killall complains on standard error when no dock runs; that is not worth showing.
  processes_.launch(std::string(killallPath), {"Dock"}, Processes::StandardError::discard);
}

void SystemDockVisibility::startWatchdog() {
  if (watchdog_) {
    return;
  }
  auto executable = bundle_.auxiliaryExecutable(watchdogName);
  if (!executable) {
    return;
  }
  auto pid = processes_.launch(*executable, {std::to_string(processes_.currentProcessIdentifier()),
                                             snapshotPath().string()});
  watchdog_ = Watchdog{pid};
}

std::filesystem::path SystemDockVisibility::snapshotPath() {
  if (!snapshotPath_) {
    snapshotPath_ = std::filesystem::path(paths_.applicationSupportDirectory()) / "Quayline" /
                    "SystemDockSnapshot.plist";
  }
  return *snapshotPath_;
}

}  // namespace quayline
