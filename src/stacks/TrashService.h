#pragma once

#include <memory>
#include <string_view>

#include "dock/TrashState.h"
#include "foundation/Published.h"
#include "foundation/Scheduler.h"
#include "foundation/SerialQueue.h"
#include "foundation/Subscription.h"

namespace quayline {

class PreferenceDomains;
class Trash;
class UiSounds;

// Knows whether the user's Trash holds anything, opens it, empties it and plays the sound of a
// drop onto it. Counting and emptying run on the trash queue; all state lives on the main
// thread.
class TrashService final : public TrashState {
 public:
  static constexpr std::string_view queueLabel = "quayline.trash";
  static constexpr double refreshInterval = 5.0;
  // The entry a file manager leaves behind in any folder it has shown; it is not an item.
  static constexpr std::string_view folderSettingsName = ".DS_Store";

  // `trash` is used from `queue`; both must outlive the service's queued work (the composition
  // root destroys the queue, which finishes its tasks, before the trash).
  TrashService(Trash& trash, UiSounds& sounds, PreferenceDomains& domains, Scheduler& scheduler,
               SerialQueue& queue);
  ~TrashService() override;
  TrashService(const TrashService&) = delete;
  TrashService& operator=(const TrashService&) = delete;

  bool isFull() const override { return full_.get(); }
  Subscription observeTrash(std::function<void()> observer) override;
  void openTrash() override;
  void emptyTrash() override;

  // Starts one count unless one runs; a request made while one runs is kept and starts one
  // more count when it ends, so a change that the running count missed is still seen.
  void refresh();
  void playDropSound();

  // Whether the listing shows an item: any entry but the file manager's folder settings.
  static bool holdsItems(Trash& trash);

 private:
  void countFinished(bool full);

  Trash& trash_;
  UiSounds& sounds_;
  PreferenceDomains& domains_;
  Scheduler& scheduler_;
  SerialQueue& queue_;
  Published<bool> full_{false};
  bool refreshing_ = false;
  bool refreshPending_ = false;
  // Queued work holds this weakly: once the service is gone, results are dropped.
  std::shared_ptr<TrashService*> self_;
  Subscription timer_;
};

}  // namespace quayline
