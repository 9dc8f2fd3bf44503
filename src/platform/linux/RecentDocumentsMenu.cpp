#include "platform/linux/RecentDocumentsMenu.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/Workspace.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/RecentlyUsedFile.h"

namespace quayline {

namespace {

// One element of the presented menu tree, or an application wrapping the real one.
struct MenuElement final : AccessibilityElement {
  enum class Kind {
    application,
    menuBar,
    fileItem,
    fileMenu,
    openRecentItem,
    openRecentMenu,
    document
  };
  Kind kind;
  ProcessId pid = 0;
  AXElement wrapped;  // the application's own element
  std::string title;
  std::optional<Url> document;
  std::optional<Url> application;
};

std::shared_ptr<const MenuElement> menuElement(const AXElement& element) {
  return std::dynamic_pointer_cast<const MenuElement>(element);
}

AXElement make(MenuElement::Kind kind, ProcessId pid, std::string title = {}) {
  auto element = std::make_shared<MenuElement>();
  element->kind = kind;
  element->pid = pid;
  element->title = std::move(title);
  return element;
}

// What the accessibility interface it wraps should see: the application's own element.
AXElement unwrapped(const AXElement& element) {
  const auto menu = menuElement(element);
  return menu && menu->kind == MenuElement::Kind::application ? menu->wrapped : element;
}

std::string asciiLowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c);
  });
  return text;
}

}  // namespace

RecentDocumentsMenu::RecentDocumentsMenu(Accessibility& accessibility, Workspace& workspace,
                                         DesktopEntryIndex& entries, RecentlyUsedFile& recent)
    : accessibility_(accessibility), workspace_(workspace), entries_(entries), recent_(recent) {}

AXElement RecentDocumentsMenu::applicationElement(ProcessId pid) {
  AXElement wrapped = accessibility_.applicationElement(pid);
  if (!wrapped) {
    return wrapped;
  }
  auto element = std::make_shared<MenuElement>();
  element->kind = MenuElement::Kind::application;
  element->pid = pid;
  element->wrapped = std::move(wrapped);
  return element;
}

std::vector<AXElement> RecentDocumentsMenu::documents(ProcessId pid) {
  std::optional<RunningApp> app;
  for (RunningApp& running : workspace_.runningApplications()) {
    if (running.pid == pid) {
      app = std::move(running);
      break;
    }
  }
  if (!app) {
    return {};
  }
  // The names a registration may know the application by: its desktop id, its program, its
  // window class and its name.
  std::vector<std::string> keys;
  auto add = [&keys](const std::string& key) {
    if (!key.empty()) {
      keys.push_back(asciiLowercase(key));
    }
  };
  add(app->bundleIdentifier.value_or(""));
  add(app->localizedName.value_or(""));
  if (app->bundleURL && app->bundleURL->isFileURL()) {
    if (const auto entry = entries_.byPath(app->bundleURL->path())) {
      add(entry->bundleIdentifier);
      add(entry->executable);
      add(entry->startupWMClass);
      add(entry->name);
    }
  }
  const auto index = recent_.index();
  std::vector<AXElement> result;
  std::size_t checked = 0;
  for (const std::uint32_t i : index->documentsFor(keys)) {
    if (result.size() == menuLength || checked++ == existenceChecks) {
      break;
    }
    const RecentDocument& document = index->documents[i];
    struct stat status {};
    if (stat(document.path.c_str(), &status) != 0) {
      continue;
    }
    auto element = std::make_shared<MenuElement>();
    element->kind = MenuElement::Kind::document;
    element->pid = pid;
    element->title = document.title;
    element->document = Url::fileURL(document.path);
    element->application = app->bundleURL;
    result.push_back(std::move(element));
  }
  return result;
}

std::optional<AXValue> RecentDocumentsMenu::attribute(const AXElement& element,
                                                      std::string_view name) {
  const auto menu = menuElement(element);
  if (!menu) {
    return accessibility_.attribute(element, name);
  }
  using Kind = MenuElement::Kind;
  const auto children = [&](std::vector<AXElement> list) -> std::optional<AXValue> {
    return AXValue(std::move(list));
  };
  switch (menu->kind) {
    case Kind::application:
      if (name == AX::menuBar) {
        return AXValue(make(Kind::menuBar, menu->pid));
      }
      return accessibility_.attribute(menu->wrapped, name);
    case Kind::menuBar:
      if (name == AX::children) {
        return children({make(Kind::fileItem, menu->pid, "File")});
      }
      break;
    case Kind::fileItem:
      if (name == AX::children) {
        return children({make(Kind::fileMenu, menu->pid)});
      }
      break;
    case Kind::fileMenu:
      if (name == AX::children) {
        return children({make(Kind::openRecentItem, menu->pid, "Open Recent")});
      }
      break;
    case Kind::openRecentItem:
      if (name == AX::children) {
        return children({make(Kind::openRecentMenu, menu->pid)});
      }
      break;
    case Kind::openRecentMenu:
      if (name == AX::children) {
        return children(documents(menu->pid));
      }
      break;
    case Kind::document:
      if (name == AX::url && menu->document) {
        return AXValue(*menu->document);
      }
      break;
  }
  if (name == AX::title && !menu->title.empty()) {
    return AXValue(menu->title);
  }
  return std::nullopt;
}

std::vector<std::vector<std::optional<AXValue>>> RecentDocumentsMenu::attributes(
    const std::vector<AXElement>& elements, const std::vector<std::string_view>& names) {
  const bool anyMenu = std::any_of(elements.begin(), elements.end(),
                                   [](const AXElement& element) { return menuElement(element); });
  if (!anyMenu) {
    return accessibility_.attributes(elements, names);
  }
  std::vector<std::vector<std::optional<AXValue>>> result;
  for (const AXElement& element : elements) {
    auto& row = result.emplace_back();
    for (const std::string_view name : names) {
      row.push_back(attribute(element, name));
    }
  }
  return result;
}

bool RecentDocumentsMenu::setAttribute(const AXElement& element, std::string_view name,
                                       const AXValue& value) {
  const auto menu = menuElement(element);
  if (menu && menu->kind != MenuElement::Kind::application) {
    return false;
  }
  return accessibility_.setAttribute(unwrapped(element), name, value);
}

bool RecentDocumentsMenu::performAction(const AXElement& element, std::string_view action) {
  const auto menu = menuElement(element);
  if (!menu || menu->kind == MenuElement::Kind::application) {
    return accessibility_.performAction(unwrapped(element), action);
  }
  if (menu->kind != MenuElement::Kind::document || action != AX::press || !menu->application) {
    return false;
  }
  return workspace_.openDocuments({*menu->document}, *menu->application);
}

std::optional<std::uint32_t> RecentDocumentsMenu::windowNumber(const AXElement& element) {
  return accessibility_.windowNumber(unwrapped(element));
}

}  // namespace quayline
