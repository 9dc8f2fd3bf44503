#include "platform/linux/FileDistributedNotifications.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "foundation/FileReading.h"
#include "foundation/Signal.h"
#include "platform/PreferenceDomains.h"
#include "platform/linux/DomainFiles.h"
#include "platform/linux/QueuedCall.h"

namespace quayline {

namespace {

std::string contentsOf(const std::filesystem::path& file) {
  return readFile(file).value_or(std::string());
}

}  // namespace

struct FileDistributedNotifications::Impl {
  // A domain file and what its changes announce.
  struct Watched {
    std::filesystem::path file;
    std::string_view notification;
    std::string lastContents;
  };

  std::filesystem::path directory;
  std::vector<Watched> files;
  QObject context;
  QFileSystemWatcher watcher;
  std::map<std::string, std::unique_ptr<Signal<>>, std::less<>> observers;

  Signal<>& signal(std::string_view name) {
    auto found = observers.find(name);
    if (found == observers.end()) {
      found = observers.emplace(std::string(name), std::make_unique<Signal<>>()).first;
    }
    return *found->second;
  }

  void watch() {
    // Writers replace a file by renaming a new one over it, which a watch on the file alone
    // loses; the directory's watch sees every replacement.
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    watcher.addPath(QString::fromStdString(directory.string()));
    for (const Watched& watched : files) {
      if (std::filesystem::exists(watched.file, ignored)) {
        watcher.addPath(QString::fromStdString(watched.file.string()));
      }
    }
  }

  void changed() {
    watch();
    for (Watched& watched : files) {
      std::string now = contentsOf(watched.file);
      if (now != watched.lastContents) {
        watched.lastContents = std::move(now);
        signal(watched.notification).emit();
      }
    }
  }
};

FileDistributedNotifications::FileDistributedNotifications(std::filesystem::path directory)
    : impl_(std::make_unique<Impl>()) {
  impl_->directory = std::move(directory);
  for (const auto& [domain, notification] :
       {std::pair{std::string_view("com.apple.dock"), dockPreferencesChanged},
        {PreferenceDomains::application, applicationPreferencesChanged}}) {
    const std::filesystem::path file =
        impl_->directory / domainFileName(domain).value_or(std::string(domain) + ".plist");
    impl_->files.push_back({file, notification, contentsOf(file)});
  }
  impl_->watch();
  auto onChange = [impl = impl_.get()](const QString&) { impl->changed(); };
  QObject::connect(&impl_->watcher, &QFileSystemWatcher::directoryChanged, &impl_->context,
                   onChange);
  QObject::connect(&impl_->watcher, &QFileSystemWatcher::fileChanged, &impl_->context, onChange);
}

FileDistributedNotifications::~FileDistributedNotifications() = default;

void FileDistributedNotifications::post(std::string_view name) {
  // Delivered from the event loop, like a notification from another process.
  queueCall(&impl_->context,
            [impl = impl_.get(), name = std::string(name)] { impl->signal(name).emit(); });
}

Subscription FileDistributedNotifications::observe(std::string_view name,
                                                   std::function<void()> callback) {
  return impl_->signal(name).connect(std::move(callback));
}

}  // namespace quayline
