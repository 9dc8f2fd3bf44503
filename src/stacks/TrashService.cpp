#include "stacks/TrashService.h"

#include <string>

#include "platform/PreferenceDomains.h"
#include "platform/Trash.h"
#include "platform/UiSounds.h"

namespace quayline {

namespace {

constexpr std::string_view kUiSoundsEnabledKey = "com.apple.sound.uiaudio.enabled";

}  // namespace

TrashService::TrashService(Trash& trash, UiSounds& sounds, PreferenceDomains& domains,
                           Scheduler& scheduler, SerialQueue& queue)
    : trash_(trash),
      sounds_(sounds),
      domains_(domains),
      scheduler_(scheduler),
      queue_(queue),
      self_(std::make_shared<TrashService*>(this)) {
  const std::weak_ptr<TrashService*> weak = self_;
  timer_ = scheduler_.every(Scheduler::Seconds(refreshInterval), [weak] {
    if (const auto self = weak.lock()) {
      (*self)->refresh();
    }
  });
  scheduler_.post([weak] {
    if (const auto self = weak.lock()) {
      (*self)->refresh();
    }
  });
}

TrashService::~TrashService() = default;

Subscription TrashService::observeTrash(std::function<void()> observer) {
  return full_.observe([observer = std::move(observer)](const bool&) { observer(); });
}

bool TrashService::holdsItems(Trash& trash) {
  bool found = false;
  const bool listed = trash.listItems([&found](std::string_view name) {
    if (name == folderSettingsName) {
      return true;
    }
    found = true;
    return false;
  });
  if (listed) {
    return found;
  }
  return trash.fileManagerItemCount().value_or(0) > 0;
}

void TrashService::refresh() {
  if (refreshing_) {
    refreshPending_ = true;
    return;
  }
  refreshing_ = true;
  const std::weak_ptr<TrashService*> weak = self_;
  queue_.async([&trash = trash_, &scheduler = scheduler_, weak] {
    const bool full = holdsItems(trash);
    scheduler.post([weak, full] {
      if (const auto self = weak.lock()) {
        (*self)->countFinished(full);
      }
    });
  });
}

void TrashService::countFinished(bool full) {
  refreshing_ = false;
  full_.set(full);
  if (refreshPending_) {
    refreshPending_ = false;
    refresh();
  }
}

void TrashService::emptyTrash() {
  const std::weak_ptr<TrashService*> weak = self_;
  queue_.async([&trash = trash_, &scheduler = scheduler_, weak] {
    trash.empty();
    scheduler.post([weak] {
      if (const auto self = weak.lock()) {
        (*self)->refresh();
      }
    });
  });
}

void TrashService::openTrash() {
  trash_.open();
}

void TrashService::playDropSound() {
  const auto enabled = domains_.copy(PreferenceDomains::anyApplication, kUiSoundsEnabledKey);
  if (const bool* on = enabled ? enabled->boolean() : nullptr; on && !*on) {
    return;
  }
  sounds_.play(UiSound::dropOnTrash);
}

}  // namespace quayline
