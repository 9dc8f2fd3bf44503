#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quayline {

class PreferenceDomains;
class Processes;
class SystemLog;

// The notice at launch when the system dock sits on the left or right edge: this dock is always
// drawn along the bottom, so the user either takes it there (optionally moving the system dock
// too) or quits. The accepted side is remembered, so the notice comes again only for another one.
namespace DockEdgeNotice {

constexpr std::string_view acceptedKey = "quayline.dockEdgeNoticeAccepted";

// What the notice shows.
struct Text {
  std::string message;
  std::string information;
  std::string acceptButton;
  std::string quitButton;
  std::string checkbox;
};
Text text(std::string_view side);

struct Answer {
  bool accepted = false;
  bool alsoMoveSystemDock = false;
};
// Shows the notice modally and returns the user's answer.
using Presenter = std::function<Answer(const Text&)>;

// True when launching may go on; false when the user chose to quit (the caller then ends the
// program without starting anything).
bool runIfNeeded(PreferenceDomains& domains, Processes& processes, SystemLog& log,
                 const Presenter& present);

}  // namespace DockEdgeNotice
}  // namespace quayline
