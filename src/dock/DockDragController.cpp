#include "dock/DockDragController.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "foundation/Scheduler.h"
#include "model/PinnedRow.h"

namespace quayline {

namespace {

double easeInOut(double progress) {
  const double p = std::clamp(progress, 0.0, 1.0);
  return p < 0.5 ? 2 * p * p : 1 - std::pow(-2 * p + 2, 2) / 2;
}

bool standsForStoredItem(const Tile& tile) {
  return !tile.isDivider() && !tile.isTrash() && !tile.id.starts_with("system:");
}

}  // namespace

DockDragController::DockDragController(Scheduler& scheduler) : scheduler_(scheduler) {}

bool DockDragController::canDrag(const Tile& tile) {
  if (tile.section == TileSection::running) {
    if (const AppTile* app = tile.app()) {
      return !app->processIdentifier.has_value();
    }
    return tile.chromeProfile() != nullptr;
  }
  return standsForStoredItem(tile);
}

void DockDragController::update(const Tile& tile, Size translation, const std::vector<Tile>& tiles,
                                const DockLayout& layout) {
  if (tile.section == TileSection::running) {
    updateRunning(tile, translation, tiles, layout);
    return;
  }
  const auto& current = session_.get();
  Session session;
  if (current &&
      std::find(current->ids.begin(), current->ids.end(), tile.id) != current->ids.end()) {
    session = *current;
  } else {
    const std::vector<Tile> row = PinnedRow::reorderable(tiles, tile.section);
    const auto found = std::find_if(row.begin(), row.end(),
                                    [&](const Tile& candidate) { return candidate.id == tile.id; });
    if (found == row.end()) {
      return;
    }
    session.section = tile.section;
    for (const Tile& candidate : row) {
      session.ids.push_back(candidate.id);
      session.widths.push_back(layout.slotWidth(candidate.content));
    }
    session.source = session.target = found - row.begin();
    positions_.clear();
    for (std::size_t k = 0; k < session.ids.size(); ++k) {
      positions_[session.ids[k]] = static_cast<long>(k);
    }
    sections_.clear();
    for (const Tile& candidate : tiles) {
      sections_[candidate.id] = candidate.section;
    }
  }
  const auto source = static_cast<std::size_t>(session.source);
  const double before =
      std::accumulate(session.widths.begin(), session.widths.begin() + session.source, 0.0);
  const double after =
      std::accumulate(session.widths.begin() + session.source + 1, session.widths.end(), 0.0);
  session.translation = std::clamp(translation.width, -before, after);
  session.lift = std::max(0.0, -translation.height);
  session.target =
      session.lift > removalLift
          ? session.source
          : PinnedRow::dropIndex(session.widths, static_cast<long>(source), session.translation);
  publish(std::move(session));
}

void DockDragController::updateRunning(const Tile& tile, Size translation,
                                       const std::vector<Tile>& tiles, const DockLayout& layout) {
  const auto& current = session_.get();
  Session session;
  if (current && current->fromRunning && current->ids == std::vector<std::string>{tile.id}) {
    session = *current;
  } else {
    double x = runningRowOrigin;
    sections_.clear();
    for (const Tile& candidate : tiles) {
      sections_[candidate.id] = candidate.section;
      const double width = layout.slotWidth(candidate.content);
      if (candidate.section == TileSection::pinned && standsForStoredItem(candidate)) {
        session.pinnedSlots.push_back({candidate.id, x, width});
      }
      if (candidate.id == tile.id) {
        session.draggedRestingMinX = x;
      }
      x += width;
    }
    positions_.clear();
    for (std::size_t k = 0; k < session.pinnedSlots.size(); ++k) {
      positions_[session.pinnedSlots[k].id] = static_cast<long>(k);
    }
    session.section = TileSection::running;
    session.ids = {tile.id};
    session.widths = {layout.slotWidth(tile.content)};
    session.fromRunning = true;
  }
  session.translation = translation.width;
  session.lift = std::max(0.0, -translation.height);
  const double width = session.widths.front();
  const double centre = session.draggedRestingMinX + width / 2 + session.translation;
  const double pinnedEnd = session.pinnedSlots.empty()
                               ? runningRowOrigin
                               : session.pinnedSlots.back().minX + session.pinnedSlots.back().width;
  session.pinTarget.reset();
  if (centre < pinnedEnd + width / 2 && session.lift < removalLift) {
    session.pinTarget =
        std::count_if(session.pinnedSlots.begin(), session.pinnedSlots.end(),
                      [&](const PinnedSlot& slot) { return slot.minX + slot.width / 2 < centre; });
  }
  publish(std::move(session));
}

void DockDragController::publish(Session session) {
  const std::optional<Session> before = session_.get();
  if (session_.set(std::move(session))) {
    retarget(before);
  }
}

void DockDragController::retarget(const std::optional<Session>& before) {
  const auto& now = session_.get();
  const double time = scheduler_.monotonic();
  for (const auto& [id, section] : sections_) {
    const double was = before ? offsetIn(*before, id, section) : 0;
    const double will = now ? offsetIn(*now, id, section) : 0;
    if (was == will) {
      continue;
    }
    Easing easing{was, will, time};
    if (const auto running = easings_.find(id); running != easings_.end()) {
      const Easing& old = running->second;
      easing.from = old.from + (old.to - old.from) * easeInOut((time - old.start) / shiftDuration);
    }
    easings_[id] = easing;
  }
}

double DockDragController::offsetIn(const Session& session, const std::string& id,
                                    TileSection section) const {
  const double width =
      session.widths.empty()
          ? 0
          : session.widths[static_cast<std::size_t>(session.fromRunning ? 0 : session.source)];
  if (session.fromRunning) {
    if (id == session.ids.front()) {
      return session.translation;
    }
    if (section != TileSection::pinned || !session.pinTarget) {
      return 0;
    }
    const auto slot = positions_.find(id);
    return slot != positions_.end() && slot->second >= *session.pinTarget ? width : 0;
  }
  if (section != session.section) {
    return 0;
  }
  const auto found = positions_.find(id);
  if (found == positions_.end()) {
    return 0;
  }
  const long k = found->second;
  if (k == session.source) {
    return session.translation;
  }
  if (session.lift > removalLift) {
    return k > session.source ? -width : 0;
  }
  if (session.source < k && k <= session.target) {
    return -width;
  }
  if (session.target <= k && k < session.source) {
    return width;
  }
  return 0;
}

double DockDragController::offset(const Tile& tile) const {
  const auto& session = session_.get();
  return session ? offsetIn(*session, tile.id, tile.section) : 0;
}

double DockDragController::displayedOffset(const Tile& tile) const {
  if (isDragged(tile)) {
    return offset(tile);  // follows the pointer without easing
  }
  const auto found = easings_.find(tile.id);
  if (found == easings_.end()) {
    return offset(tile);
  }
  const Easing& easing = found->second;
  const double progress = (scheduler_.monotonic() - easing.start) / shiftDuration;
  return progress >= 1 ? easing.to : easing.from + (easing.to - easing.from) * easeInOut(progress);
}

bool DockDragController::isSettling() const {
  const double time = scheduler_.monotonic();
  return std::any_of(easings_.begin(), easings_.end(),
                     [&](const auto& entry) { return time - entry.second.start < shiftDuration; });
}

bool DockDragController::isDragged(const Tile& tile) const {
  const auto& session = session_.get();
  return session && session->ids.at(static_cast<std::size_t>(session->source)) == tile.id &&
         tile.section == session->section;
}

double DockDragController::lift(const Tile& tile) const {
  return isDragged(tile) ? session_.get()->lift : 0;
}

bool DockDragController::wouldRemove(const Tile& tile) const {
  const auto& session = session_.get();
  return session && !session->fromRunning && session->lift > removalLift && isDragged(tile);
}

DockDragController::Outcome DockDragController::end() {
  const std::optional<Session> ended = session_.get();
  if (!ended) {
    return {};
  }
  // The tiles settle back without easing: the row is rebuilt from the stores at once.
  easings_.clear();
  session_.set(std::nullopt);
  if (ended->fromRunning) {
    if (!ended->pinTarget) {
      return {};
    }
    const auto index = static_cast<std::size_t>(*ended->pinTarget);
    Outcome pin{Outcome::Kind::pin, *ended->pinTarget, std::nullopt};
    if (index < ended->pinnedSlots.size()) {
      pin.beforeId = ended->pinnedSlots[index].id;
    }
    return pin;
  }
  if (ended->lift > removalLift) {
    return {Outcome::Kind::remove};
  }
  if (ended->target != ended->source && commit) {
    commit(ended->section, ended->source, ended->target);
  }
  return {};
}

void DockDragController::reconcile(const std::vector<Tile>& tiles) {
  const auto& session = session_.get();
  if (!session) {
    return;
  }
  std::vector<std::string> ids;
  for (const Tile& tile : PinnedRow::reorderable(tiles, session->section)) {
    ids.push_back(tile.id);
  }
  if (ids != session->ids) {
    easings_.clear();
    session_.set(std::nullopt);
  }
}

}  // namespace quayline
