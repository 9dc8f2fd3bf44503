#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <map>
#include <memory>

#include "dock/AppAttention.h"
#include "dock/BadgeSource.h"
#include "dock/FakeDesktopAppearance.h"
#include "dock/IconAppearanceMonitor.h"
#include "dock/MenuTracking.h"
#include "dock/SystemAppearance.h"
#include "dock/TileActionFakes.h"
#include "dock/TileHover.h"
#include "dock/TileInteraction.h"
#include "platform/ApplicationIconNames.h"
#include "ui/dock/DockView.h"
#include "ui/dock/DockViewContext.h"
#include "ui/icons/IconCache.h"

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
  std::optional<std::string> standInIconName(std::string_view bundleIdentifier) override {
    auto found = standIns.find(std::string(bundleIdentifier));
    return found == standIns.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
  std::map<std::string, std::string> names;     // entry path → icon name
  std::map<std::string, std::string> standIns;  // bundle identifier → icon name
};

struct ApplicationHolder {
  ApplicationHolder() { application(); }
};

// Every service a dock view borrows, built on fakes.
class DockViewFixture : public ::testing::Test,
                        protected ApplicationHolder,
                        protected TileActionFakes {
 protected:
  DockViewFixture() {
    displays.list = {Screen{1, Rect(0, 0, 1920, 1080), Rect(0, 0, 1920, 1080), 1}};
    start();
    interaction.emplace(*services);
  }

  // Renders the view at its own size into a transparent image.
  static QImage grab(QWidget& view) {
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image.convertToFormat(QImage::Format_ARGB32);
  }

  FakeDesktopAppearance desktop;
  FakeBadges badges;
  RecordingHovers hovers;
  FakeIconNames iconNames;
  MenuTracking menus;
  AppAttention attention{workspace, displays, scheduler, log};
  std::optional<TileInteraction> interaction;
  SystemAppearance appearance{preferences, desktop};
  IconAppearanceMonitor iconMonitor{desktop, scheduler};
  IconCache icons{iconMonitor, workspace, files, iconNames};
};

}  // namespace quayline::testing
