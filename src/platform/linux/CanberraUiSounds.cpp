#include "platform/linux/CanberraUiSounds.h"

#include <canberra.h>

namespace quayline {

CanberraUiSounds::~CanberraUiSounds() {
  if (context_) {
    ca_context_destroy(context_);
  }
}

const char* CanberraUiSounds::eventId(UiSound sound) {
  switch (sound) {
    case UiSound::dropOnTrash:
      return "file-trash";
  }
  return "file-trash";
}

void CanberraUiSounds::play(UiSound sound) {
  // The context is made on first use: most runs never play a sound.
  if (!context_ && !unavailable_) {
    if (ca_context_create(&context_) != CA_SUCCESS) {
      context_ = nullptr;
      unavailable_ = true;
      return;
    }
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Quayline", CA_PROP_APPLICATION_ID,
                            "com.orrin.quayline", nullptr);
  }
  if (context_) {
    // Playing is asynchronous; a missing event answers CA_ERROR_NOTFOUND and plays nothing.
    ca_context_play(context_, 0, CA_PROP_EVENT_ID, eventId(sound), CA_PROP_EVENT_DESCRIPTION,
                    "Moved to the Trash", nullptr);
  }
}

}  // namespace quayline
