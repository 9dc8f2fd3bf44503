#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <map>
#include <memory>

#include "app/Preferences.h"
#include "dock/BadgeSource.h"
#include "dock/FakeDesktopAppearance.h"
#include "dock/IconAppearanceMonitor.h"
#include "dock/SystemAppearance.h"
#include "dock/TileHover.h"
#include "dock/TrashState.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeApplicationAppearance.h"
#include "fakes/FakeChromeInstances.h"
#include "fakes/FakeChromeProfiles.h"
#include "fakes/FakeFileManager.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakePaths.h"
#include "fakes/FakePreferenceDomains.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"
#include "fakes/FakeWorkspace.h"
#include "foundation/SerialQueue.h"
#include "model/HiddenApps.h"
#include "model/PinnedItemStore.h"
#include "model/TileStore.h"
#include "platform/ApplicationIconNames.h"
#include "platform/Displays.h"
#include "ui/dock/DockView.h"
#include "ui/dock/DockViewContext.h"
#include "ui/icons/IconCache.h"
#include "windows/WindowRegistry.h"

namespace quayline::testing {

// One application object for the whole test program, on the offscreen platform.
inline QApplication& application() {
  static int argc = 1;
  static char name[] = "quayline_ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

class FakeDisplays final : public Displays {
 public:
  std::vector<Screen> screens() override { return list; }
  std::optional<Screen> mainScreen() override {
    return list.empty() ? std::nullopt : std::optional<Screen>(list.front());
  }
  std::optional<Rect> displayBounds(DisplayNumber display) override {
    for (const Screen& screen : list) {
      if (screen.displayNumber == display) {
        return screen.frame;
      }
    }
    return std::nullopt;
  }
  Point pointerLocation() override { return {}; }
  std::uint32_t pressedMouseButtons() override { return 0; }
  Subscription observeScreenChanges(std::function<void()>) override { return {}; }
  std::vector<Screen> list{Screen{1, Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1080), 1}};
};

class FakeBadges final : public BadgeSource {
 public:
  std::optional<std::string> badge(const std::string& bundleIdentifier) const override {
    auto found = texts.find(bundleIdentifier);
    return found == texts.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
  Subscription observeBadges(std::function<void()> observer) override {
    return changed_.connect([observer = std::move(observer)] { observer(); });
  }
  void set(const std::string& bundleIdentifier, std::string text) {
    texts[bundleIdentifier] = std::move(text);
    changed_.emit();
  }
  std::map<std::string, std::string> texts;

 private:
  Signal<> changed_;
};

class FakeTrash final : public TrashState {
 public:
  bool isFull() const override { return full; }
  Subscription observeTrash(std::function<void()>) override { return {}; }
  bool full = false;
};

class RecordingHovers final : public TileHoverSink {
 public:
  void tileEntered(const TileHover& hover) override { entered.push_back(hover); }
  void tileExited(const Tile& tile) override { exited.push_back(tile.id); }
  std::vector<TileHover> entered;
  std::vector<std::string> exited;
};

class FakeIconNames final : public ApplicationIconNames {
 public:
  std::optional<std::string> iconName(const std::string& path) override {
    auto found = names.find(path);
    return found == names.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
  std::map<std::string, std::string> names;
};

struct ApplicationHolder {
  ApplicationHolder() { application(); }
};

// Every service a dock view borrows, built on fakes.
class DockViewFixture : public ::testing::Test, protected ApplicationHolder {
 protected:
  DockViewFixture() {
    for (std::string_view key : {PinnedItemStore::pinnedKey, PinnedItemStore::trailingKey}) {
      const std::string empty = "[]";
      domains.seed(PreferenceDomains::application, key,
                   PropertyValue(PropertyData(empty.begin(), empty.end())));
    }
    hidden = std::make_unique<HiddenApps>(domains, workspace);
    registry = std::make_unique<WindowRegistry>(workspace, accessibility, scheduler, queue, log);
    store =
        std::make_unique<TileStore>(std::make_unique<PinnedItemStore>(domains, files, paths, log),
                                    workspace, instances, profiles, *hidden, *registry, files);
    scheduler.runPosted();
  }

  // Renders the view at its own size into a transparent image.
  static QImage grab(QWidget& view) {
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image.convertToFormat(QImage::Format_ARGB32);
  }

  FakePreferenceDomains domains;
  FakeLoginItem loginItem;
  FakeApplicationAppearance applicationAppearance;
  Preferences preferences{domains, loginItem, applicationAppearance};
  FakeFileManager files;
  FakePaths paths;
  FakeSystemLog log;
  FakeWorkspace workspace;
  FakeAccessibility accessibility;
  FakeScheduler scheduler;
  InlineSerialQueue queue{std::string(WindowRegistry::queueLabel)};
  FakeChromeInstances instances;
  FakeChromeProfiles profiles;
  FakeDesktopAppearance desktop;
  FakeDisplays displays;
  FakeBadges badges;
  FakeTrash trash;
  RecordingHovers hovers;
  FakeIconNames iconNames;
  std::unique_ptr<HiddenApps> hidden;
  std::unique_ptr<WindowRegistry> registry;
  std::unique_ptr<TileStore> store;
  SystemAppearance appearance{preferences, desktop};
  IconAppearanceMonitor iconMonitor{desktop, scheduler};
  IconCache icons{iconMonitor, workspace, files, iconNames};
};

}  // namespace quayline::testing
