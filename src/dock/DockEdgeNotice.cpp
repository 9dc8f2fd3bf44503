#include "dock/DockEdgeNotice.h"

#include "model/SystemDockPreferences.h"
#include "platform/PreferenceDomains.h"
#include "platform/SystemLog.h"

namespace quayline::DockEdgeNotice {

Text text(std::string_view side) {
  const std::string edge(side);
  return {"Your Dock is on the " + edge,
          "Quayline draws its dock along the bottom of the screen. It cannot sit on the " + edge +
              " yet, so your dock would move to the bottom while Quayline runs.\n\nYour own Dock "
              "is untouched either way, and comes back the moment you quit Quayline.",
          "Use Quayline at the Bottom", "Quit Quayline", "Also move my Dock to the bottom"};
}

bool runIfNeeded(PreferenceDomains& domains, Processes& processes, SystemLog& log,
                 const Presenter& present) {
  const auto edge = SystemDockPreferences::orientation(domains);
  if (edge == SystemDockPreferences::Edge::bottom) {
    return true;
  }
  const std::string side = edge == SystemDockPreferences::Edge::left ? "left" : "right";
  log.log("permission", "dock edge: Apple's Dock is on the " + side);
  const auto accepted = domains.copy(PreferenceDomains::application, acceptedKey);
  if (accepted && accepted->string() && *accepted->string() == side) {
    return true;
  }
  const Answer answer = present(text(side));
  if (!answer.accepted) {
    log.log("permission", "dock edge: user quit rather than move to the bottom");
    return false;
  }
  if (answer.alsoMoveSystemDock) {
    SystemDockPreferences::setOrientationToBottom(domains, processes);
  }
  domains.set(PreferenceDomains::application, acceptedKey, PropertyValue(side));
  log.log("permission", std::string("dock edge: accepted a bottom dock, moved Apple's too: ") +
                            (answer.alsoMoveSystemDock ? "1" : "0"));
  return true;
}

}  // namespace quayline::DockEdgeNotice
