#pragma once

#include "platform/UiSounds.h"

struct ca_context;

namespace quayline {

// Plays the freedesktop sound theme's events through libcanberra. A theme without the event,
// or a machine without sound, stays silent.
class CanberraUiSounds final : public UiSounds {
 public:
  CanberraUiSounds() = default;
  ~CanberraUiSounds() override;
  CanberraUiSounds(const CanberraUiSounds&) = delete;
  CanberraUiSounds& operator=(const CanberraUiSounds&) = delete;

  void play(UiSound sound) override;

  // The sound theme's event id of a sound.
  static const char* eventId(UiSound sound);

 private:
  ca_context* context_ = nullptr;
  bool unavailable_ = false;
};

}  // namespace quayline
