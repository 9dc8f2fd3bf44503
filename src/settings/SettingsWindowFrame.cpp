#include "settings/SettingsWindowFrame.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "platform/PreferenceDomains.h"

namespace quayline::SettingsWindowFrame {

std::string encode(const Rect& frame) {
  std::ostringstream out;
  out << std::lround(frame.minX()) << ' ' << std::lround(frame.minY()) << ' '
      << std::lround(frame.width()) << ' ' << std::lround(frame.height());
  return out.str();
}

std::optional<Rect> decode(std::string_view text) {
  std::istringstream in{std::string(text)};
  double values[4];
  for (double& value : values) {
    if (!(in >> value) || !std::isfinite(value)) {
      return std::nullopt;
    }
  }
  std::string rest;
  if (in >> rest || values[2] <= 0 || values[3] <= 0) {
    return std::nullopt;
  }
  return Rect(values[0], values[1], values[2], values[3]);
}

std::optional<Rect> stored(PreferenceDomains& domains) {
  const auto value = domains.copy(PreferenceDomains::application, key);
  const std::string* text = value ? value->string() : nullptr;
  return text ? decode(*text) : std::nullopt;
}

void store(PreferenceDomains& domains, const Rect& frame) {
  const std::string text = encode(frame);
  const auto old = domains.copy(PreferenceDomains::application, key);
  if (old && old->string() && *old->string() == text) {
    return;  // unchanged: no rewrite that other programs would see as a change
  }
  domains.set(PreferenceDomains::application, key, PropertyValue(text));
  domains.synchronize(PreferenceDomains::application);
}

std::optional<Rect> restored(const std::optional<Rect>& stored, const std::vector<Rect>& screens) {
  if (!stored) {
    return std::nullopt;
  }
  Rect frame(stored->origin, Size{std::max(stored->width(), minimumSize.width),
                                  std::max(stored->height(), minimumSize.height)});
  if (screens.empty()) {
    return frame;
  }
  const Rect* home = &screens.front();
  double best = 0;
  for (const Rect& screen : screens) {
    const double overlap = frame.intersection(screen).area();
    if (overlap > best) {
      best = overlap;
      home = &screen;
    }
  }
  frame.size.width = std::min(frame.width(), home->width());
  frame.size.height = std::min(frame.height(), home->height());
  frame.origin.x = std::clamp(frame.minX(), home->minX(), home->maxX() - frame.width());
  frame.origin.y = std::clamp(frame.minY(), home->minY(), home->maxY() - frame.height());
  return frame;
}

}  // namespace quayline::SettingsWindowFrame
