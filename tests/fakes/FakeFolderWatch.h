#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "platform/FolderWatch.h"

namespace quayline {

// Folder watches in memory: only folders listed in `watchable` can be watched, as only existing
// folders can; `change` tells the watchers of a folder about one of its entries.
class FakeFolderWatch final : public FolderWatch {
 public:
  Subscription watch(const std::string& folder,
                     std::function<void(const std::string&)> changed) override {
    if (!watchable.contains(folder)) {
      return {};
    }
    const int id = next_++;
    watchers_[id] = {folder, std::move(changed)};
    return Subscription([this, id] { watchers_.erase(id); });
  }

  void change(const std::string& folder, const std::string& entry) {
    const auto current = watchers_;
    for (const auto& [id, watcher] : current) {
      if (watcher.first == folder) {
        watcher.second(entry);
      }
    }
  }

  std::size_t watchers() const { return watchers_.size(); }

  std::set<std::string> watchable;

 private:
  int next_ = 0;
  std::map<int, std::pair<std::string, std::function<void(const std::string&)>>> watchers_;
};

}  // namespace quayline
