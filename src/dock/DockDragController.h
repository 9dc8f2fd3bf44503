#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "dock/DockLayout.h"
#include "foundation/Geometry.h"
#include "foundation/Published.h"
#include "model/Tile.h"

namespace quayline {

class Scheduler;

// A tile dragged along the dock: reordered within its section, lifted out to be removed, or a
// running application pinned at a chosen place. Holds the drag in progress and how far every
// tile is shifted while it lasts; the other tiles ease to their places. Main thread.
class DockDragController {
 public:
  static constexpr double minimumDistance = 4;
  static constexpr double removalLift = 60;
  static constexpr double runningRowOrigin = 2;
  static constexpr double shiftDuration = 0.18;
  static constexpr double dimmedOpacity = 0.6;

  struct PinnedSlot {
    std::string id;
    double minX = 0;
    double width = 0;
    bool operator==(const PinnedSlot&) const = default;
  };

  struct Session {
    TileSection section = TileSection::pinned;
    std::vector<std::string> ids;
    std::vector<double> widths;
    long source = 0;
    double translation = 0;
    long target = 0;
    double lift = 0;
    bool fromRunning = false;
    std::vector<PinnedSlot> pinnedSlots;
    double draggedRestingMinX = 0;
    std::optional<long> pinTarget;
    bool operator==(const Session&) const = default;
  };

  struct Outcome {
    enum class Kind { nothing, remove, pin };
    Kind kind = Kind::nothing;
    long index = 0;  // pin: the place among the pinned tiles that stand for stored items
    // pin: the tile now at that place, none at the end of the row
    std::optional<std::string> beforeId;
    bool operator==(const Outcome&) const = default;
  };

  explicit DockDragController(Scheduler& scheduler);
  DockDragController(const DockDragController&) = delete;
  DockDragController& operator=(const DockDragController&) = delete;

  // Applies an in-section move (section, from, to), the indices those of the section's
  // reorderable tiles; set by the owning dock window.
  std::function<void(TileSection, long, long)> commit;

  // Tiles with the drag gesture: pinned and trailing items other than dividers, the Trash and
  // system tiles; running applications of no fixed process, and profiles.
  static bool canDrag(const Tile& tile);

  const std::optional<Session>& session() const { return session_.get(); }
  Subscription observeSession(std::function<void(const std::optional<Session>&)> observer) {
    return session_.observe(std::move(observer));
  }
  bool isActive() const { return session_.get().has_value(); }

  void update(const Tile& tile, Size translation, const std::vector<Tile>& tiles,
              const DockLayout& layout);
  Outcome end();
  void reconcile(const std::vector<Tile>& tiles);

  // Where the tile stands now relative to its resting place: the target shift, and the shift
  // drawn at this moment while the others ease towards theirs.
  double offset(const Tile& tile) const;
  double displayedOffset(const Tile& tile) const;
  // Whether any tile is still easing to its place.
  bool isSettling() const;
  double lift(const Tile& tile) const;
  bool wouldRemove(const Tile& tile) const;
  // Whether the tile is the one being dragged.
  bool isDragged(const Tile& tile) const;

 private:
  void updateRunning(const Tile& tile, Size translation, const std::vector<Tile>& tiles,
                     const DockLayout& layout);
  void publish(Session session);
  // Starts each tile's easing from where it is drawn to its new target.
  void retarget(const std::optional<Session>& before);
  double offsetIn(const Session& session, const std::string& id, TileSection section) const;

  struct Easing {
    double from = 0;
    double to = 0;
    double start = 0;
  };

  Scheduler& scheduler_;
  Published<std::optional<Session>> session_;
  // By tile id; only the tiles that moved.
  std::map<std::string, Easing> easings_;
  std::map<std::string, TileSection> sections_;
  // Where each id stands in the session's `ids` (in-section drags) or `pinnedSlots` (running).
  std::unordered_map<std::string, long> positions_;
};

}  // namespace quayline
