#include "app/DockWindowList.h"

namespace quayline {

DockAssignment assignDockWindows(const std::vector<DisplayNumber>& old,
                                 const std::vector<DisplayNumber>& targets) {
  std::vector<bool> taken(old.size(), false);
  DockAssignment result;
  result.reused.resize(targets.size());
  for (std::size_t t = 0; t < targets.size(); ++t) {
    for (std::size_t o = 0; o < old.size(); ++o) {
      if (!taken[o] && old[o] == targets[t]) {
        taken[o] = true;
        result.reused[t] = o;
        break;
      }
    }
  }
  for (auto& slot : result.reused) {
    if (slot) {
      continue;
    }
    for (std::size_t o = 0; o < old.size(); ++o) {
      if (!taken[o]) {
        taken[o] = true;
        slot = o;
        break;
      }
    }
  }
  for (std::size_t o = 0; o < old.size(); ++o) {
    if (!taken[o]) {
      result.retired.push_back(o);
    }
  }
  return result;
}

void DockWindowList::rebuild(const std::vector<Screen>& targets) {
  std::vector<DisplayNumber> oldNumbers;
  for (const auto& window : windows_) {
    oldNumbers.push_back(window->screen().displayNumber);
  }
  std::vector<DisplayNumber> targetNumbers;
  for (const auto& screen : targets) {
    targetNumbers.push_back(screen.displayNumber);
  }
  const DockAssignment assignment = assignDockWindows(oldNumbers, targetNumbers);

  std::vector<std::unique_ptr<DockWindow>> old = std::move(windows_);
  windows_.clear();
  for (std::size_t t = 0; t < targets.size(); ++t) {
    if (const auto reused = assignment.reused[t]) {
      windows_.push_back(std::move(old[*reused]));
      windows_.back()->moveToScreen(targets[t]);
    } else {
      windows_.push_back(factory_(targets[t]));
      windows_.back()->show();
    }
  }
  for (const std::size_t index : assignment.retired) {
    old[index]->retire();
  }
}

}  // namespace quayline
