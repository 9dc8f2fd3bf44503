#pragma once

namespace quayline {

enum class UiSound {
  dropOnTrash,
};

// The desktop's user-interface sounds. A sound the desktop lacks plays as silence.
class UiSounds {
 public:
  virtual ~UiSounds() = default;
  virtual void play(UiSound sound) = 0;
};

}  // namespace quayline
