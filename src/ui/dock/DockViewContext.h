#pragma once

namespace quayline {

class AppAttention;
class BadgeSource;
class ChromeProfiles;
class Displays;
class IconCache;
class MenuTracking;
class Preferences;
class SystemAppearance;
class TileHoverSink;
class TileInteraction;
class TileStore;
class TrashState;
class WindowRegistry;

// The services a dock view draws from. The composition root owns them all; every view of every
// dock window borrows the same ones.
struct DockViewContext {
  TileStore& store;
  AppAttention& attention;
  Preferences& preferences;
  IconCache& icons;
  SystemAppearance& appearance;
  WindowRegistry& windows;
  ChromeProfiles& chromeProfiles;
  Displays& displays;
  BadgeSource& badges;
  TrashState& trash;
  TileHoverSink& hovers;
  TileInteraction& interaction;
  MenuTracking& menus;
};

}  // namespace quayline
