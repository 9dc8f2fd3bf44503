#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "foundation/Signal.h"
#include "platform/Accessibility.h"

namespace quayline {

// An accessibility tree built by the test. Elements are nodes with attribute values; reads of
// missing attributes fail, as they would against a real application. Thread-safe, since the
// registry reads it from its queue.
class FakeAccessibility final : public Accessibility {
 public:
  struct Node final : AccessibilityElement {
    std::string name;  // for test messages
    std::map<std::string, AXValue, std::less<>> attributes;
    std::optional<std::uint32_t> windowNumber;
  };
  using NodePtr = std::shared_ptr<Node>;

  bool isProcessTrusted() override;
  void setMessagingTimeout(double seconds) override;
  AXElement applicationElement(ProcessId pid) override;
  std::optional<AXValue> attribute(const AXElement& element, std::string_view name) override;
  std::vector<std::vector<std::optional<AXValue>>> attributes(
      const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) override;
  bool setAttribute(const AXElement& element, std::string_view name, const AXValue& value) override;
  bool performAction(const AXElement& element, std::string_view action) override;
  std::optional<std::uint32_t> windowNumber(const AXElement& element) override;
  Subscription observeWindowChanges(std::function<void()> observer) override {
    return windowChanges_.connect(std::move(observer));
  }
  // What the window server reports when a window moves or changes its state.
  void notifyWindowChanged() { windowChanges_.emit(); }

  // The application node of a pid (created on first use).
  NodePtr application(ProcessId pid);
  // A standard window appended to the application's "AXWindows".
  NodePtr addWindow(ProcessId pid, const std::string& title, std::optional<Rect> frame = {},
                    std::string subrole = "AXStandardWindow");
  static NodePtr node(const AXElement& element);

  bool trusted = true;
  double messagingTimeout = 0;
  std::set<std::string> refusedWrites;  // attribute names whose writes fail

  struct Action {
    std::string element;
    std::string name;
    bool operator==(const Action&) const = default;
  };
  std::vector<Action> actions;
  struct Write {
    std::string element;
    std::string attribute;
    AXValue value;
    bool operator==(const Write&) const = default;
  };
  std::vector<Write> writes;
  int batchReads = 0;

 private:
  std::recursive_mutex mutex_;
  std::map<ProcessId, NodePtr> applications_;
  Signal<> windowChanges_;
};

}  // namespace quayline
