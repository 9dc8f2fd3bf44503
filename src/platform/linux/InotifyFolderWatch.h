#pragma once

#include <QSocketNotifier>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/FolderWatch.h"

namespace quayline {

// Folder watches through one inotify descriptor, read from the Qt event loop when it has events.
class InotifyFolderWatch final : public FolderWatch {
 public:
  InotifyFolderWatch();
  ~InotifyFolderWatch() override;
  InotifyFolderWatch(const InotifyFolderWatch&) = delete;
  InotifyFolderWatch& operator=(const InotifyFolderWatch&) = delete;

  Subscription watch(const std::string& folder,
                     std::function<void(const std::string& entry)> changed) override;
  Subscription watchWrites(const std::string& folder,
                           std::function<void(const std::string& entry)> changed) override;

 private:
  struct Observer {
    std::function<void(const std::string&)> changed;
    bool writes = false;
  };
  Subscription add(const std::string& folder, std::function<void(const std::string&)> changed,
                   bool writes);
  void readEvents();

  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  // Per inotify watch descriptor, by registration: the kernel gives one descriptor per folder,
  // however often it is watched.
  std::map<int, std::map<unsigned, Observer>> observers_;
  unsigned nextRegistration_ = 0;
};

}  // namespace quayline
