#include "fakes/FakeAccessibility.h"

namespace quayline {

bool FakeAccessibility::isProcessTrusted() {
  std::lock_guard lock(mutex_);
  return trusted;
}

void FakeAccessibility::setMessagingTimeout(double seconds) {
  std::lock_guard lock(mutex_);
  messagingTimeout = seconds;
}

FakeAccessibility::NodePtr FakeAccessibility::node(const AXElement& element) {
  return std::const_pointer_cast<Node>(std::dynamic_pointer_cast<const Node>(element));
}

FakeAccessibility::NodePtr FakeAccessibility::application(ProcessId pid) {
  std::lock_guard lock(mutex_);
  auto& app = applications_[pid];
  if (!app) {
    app = std::make_shared<Node>();
    app->name = "app " + std::to_string(pid);
  }
  return app;
}

AXElement FakeAccessibility::applicationElement(ProcessId pid) {
  return application(pid);
}

FakeAccessibility::NodePtr FakeAccessibility::addWindow(ProcessId pid, const std::string& title,
                                                        std::optional<Rect> frame,
                                                        std::string subrole) {
  std::lock_guard lock(mutex_);
  auto app = application(pid);
  auto window = std::make_shared<Node>();
  window->name = title;
  window->attributes.emplace(AX::title, title);
  if (!subrole.empty()) {
    window->attributes.emplace(AX::subrole, subrole);
  }
  window->attributes.emplace(AX::minimized, false);
  window->attributes.emplace(AX::main, false);
  if (frame) {
    window->attributes.emplace(AX::position, frame->origin);
    window->attributes.emplace(AX::size, frame->size);
  }
  auto& list = app->attributes[std::string(AX::windows)];
  if (!std::holds_alternative<std::vector<AXElement>>(list)) {
    list = std::vector<AXElement>{};
  }
  std::get<std::vector<AXElement>>(list).push_back(window);
  return window;
}

std::optional<AXValue> FakeAccessibility::attribute(const AXElement& element,
                                                    std::string_view name) {
  std::lock_guard lock(mutex_);
  auto target = node(element);
  if (!target || !trusted) {
    return std::nullopt;
  }
  auto found = target->attributes.find(name);
  if (found == target->attributes.end()) {
    return std::nullopt;
  }
  return found->second;
}

std::vector<std::vector<std::optional<AXValue>>> FakeAccessibility::attributes(
    const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) {
  std::lock_guard lock(mutex_);
  ++batchReads;
  std::vector<std::vector<std::optional<AXValue>>> result;
  for (const auto& element : elements) {
    auto& row = result.emplace_back();
    for (auto name : names) {
      row.push_back(attribute(element, name));
    }
  }
  return result;
}

bool FakeAccessibility::setAttribute(const AXElement& element, std::string_view name,
                                     const AXValue& value) {
  std::lock_guard lock(mutex_);
  auto target = node(element);
  if (!target) {
    return false;
  }
  writes.push_back({target->name, std::string(name), value});
  if (refusedWrites.count(std::string(name)) != 0) {
    return false;
  }
  target->attributes.insert_or_assign(std::string(name), value);
  return true;
}

bool FakeAccessibility::performAction(const AXElement& element, std::string_view action) {
  std::lock_guard lock(mutex_);
  auto target = node(element);
  if (!target) {
    return false;
  }
  actions.push_back({target->name, std::string(action)});
  return true;
}

std::optional<std::uint32_t> FakeAccessibility::windowNumber(const AXElement& element) {
  std::lock_guard lock(mutex_);
  auto target = node(element);
  return target ? target->windowNumber : std::nullopt;
}

}  // namespace quayline
