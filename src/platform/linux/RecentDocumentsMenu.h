#pragma once

#include "platform/Accessibility.h"

namespace quayline {

class DesktopEntryIndex;
class RecentlyUsedFile;
class Workspace;

// The accessibility interface with each application's "File ▸ Open Recent" menu added, built
// from the desktop's recently-used list: X11 applications publish no menus of their own. The
// menu lists the existing files the application registered, newest first; each entry's "AXURL"
// is the document, and pressing it opens the document with that application. Everything else
// is answered by the interface it wraps.
class RecentDocumentsMenu final : public Accessibility {
 public:
  // At most this many entries, as an application's own menu shows.
  static constexpr std::size_t menuLength = 10;
  // Files looked at to fill the menu, so a list of vanished files costs a bounded time.
  static constexpr std::size_t existenceChecks = 100;

  RecentDocumentsMenu(Accessibility& accessibility, Workspace& workspace,
                      DesktopEntryIndex& entries, RecentlyUsedFile& recent);

  bool isProcessTrusted() override { return accessibility_.isProcessTrusted(); }
  void setMessagingTimeout(double seconds) override { accessibility_.setMessagingTimeout(seconds); }
  AXElement applicationElement(ProcessId pid) override;
  std::optional<AXValue> attribute(const AXElement& element, std::string_view name) override;
  std::vector<std::vector<std::optional<AXValue>>> attributes(
      const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) override;
  bool setAttribute(const AXElement& element, std::string_view name, const AXValue& value) override;
  bool performAction(const AXElement& element, std::string_view action) override;
  std::optional<std::uint32_t> windowNumber(const AXElement& element) override;
  Subscription observeWindowChanges(std::function<void()> observer) override {
    return accessibility_.observeWindowChanges(std::move(observer));
  }

 private:
  std::vector<AXElement> documents(ProcessId pid);

  Accessibility& accessibility_;
  Workspace& workspace_;
  DesktopEntryIndex& entries_;
  RecentlyUsedFile& recent_;
};

}  // namespace quayline
