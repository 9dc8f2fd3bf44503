#pragma once

#include <memory>
#include <string>

#include "platform/Accessibility.h"
#include "platform/SystemLog.h"
#include "platform/Workspace.h"

namespace quayline {

// The badges applications publish with the launcher-entry convention of the session bus
// (count and its visibility per desktop entry), presented as the accessibility tree of a system
// dock: application → one list → one tile per application, with "AXStatusLabel" (the count while
// visible) and "AXURL" (its .desktop file). Owns the bus name "com.canonical.Unity", since
// senders only publish while someone does. Only that tree is readable; everything else answers
// nothing. Updates arrive on the main thread's event loop (a QCoreApplication must exist); the
// tree may be read from any thread.
class LauncherEntryBadges final : public Accessibility {
 public:
  // A pid no process can have.
  static constexpr ProcessId dockPid = -2;

  // On the session bus of $DBUS_SESSION_BUS_ADDRESS. Without a bus the tree stays empty.
  explicit LauncherEntryBadges(SystemLog& log);
  // On the bus at this address.
  LauncherEntryBadges(SystemLog& log, const std::string& busAddress);
  ~LauncherEntryBadges() override;
  LauncherEntryBadges(const LauncherEntryBadges&) = delete;
  LauncherEntryBadges& operator=(const LauncherEntryBadges&) = delete;

  // Whether this process holds the bus name on a live connection.
  bool ownsBusName() const;
  // The system dock whose tree this is: "com.apple.dock" at `dockPid`.
  RunningApp dockApplication() const;

  bool isProcessTrusted() override { return true; }
  void setMessagingTimeout(double) override {}
  AXElement applicationElement(ProcessId pid) override;
  std::optional<AXValue> attribute(const AXElement& element, std::string_view name) override;
  std::vector<std::vector<std::optional<AXValue>>> attributes(
      const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) override;
  bool setAttribute(const AXElement&, std::string_view, const AXValue&) override { return false; }
  bool performAction(const AXElement&, std::string_view) override { return false; }
  std::optional<std::uint32_t> windowNumber(const AXElement&) override { return std::nullopt; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quayline
