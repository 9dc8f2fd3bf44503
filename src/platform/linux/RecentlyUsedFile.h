#pragma once

#include <QFileSystemWatcher>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/SerialQueue.h"

namespace quayline {

class SystemLog;

// One local file in the recently-used list.
struct RecentDocument {
  std::string path;   // raw bytes, as the file system names it
  std::string title;  // valid UTF-8: the bookmark's title, else the file's display name
};

// The recently-used list, indexed by the applications that registered each document.
struct RecentDocumentIndex {
  struct Use {
    std::int64_t stamp = 0;  // microseconds since the epoch of that application's last use
    std::uint32_t document = 0;
  };
  std::vector<RecentDocument> documents;
  // Lower-case application name or executable → its uses, newest first.
  std::unordered_map<std::string, std::vector<Use>> uses;

  // The documents any of the keys used, newest first, each once.
  std::vector<std::uint32_t> documentsFor(const std::vector<std::string>& keys) const;
};

// GLib's `recently-used.xbel` (a bookmark file), parsed on a queue of its own whenever it
// changes, so readers only ever look at the last complete index and never wait for a parse.
class RecentlyUsedFile {
 public:
  // Larger files are not read: the list applications write holds a few thousand entries.
  static constexpr std::size_t sizeLimit = std::size_t{32} << 20;

  // Watches `path` (and its folder, since writers replace the file) from the Qt event loop and
  // parses it at once.
  RecentlyUsedFile(std::string path, SystemLog& log);
  ~RecentlyUsedFile();
  RecentlyUsedFile(const RecentlyUsedFile&) = delete;
  RecentlyUsedFile& operator=(const RecentlyUsedFile&) = delete;

  // "$XDG_DATA_HOME/recently-used.xbel".
  static std::string defaultPath();

  // The newest complete index; empty before the first parse ends. Any thread.
  std::shared_ptr<const RecentDocumentIndex> index() const;

  // Reads the file; an unreadable, oversized or malformed file gives an empty index.
  static RecentDocumentIndex parse(const std::string& path, std::string* problem = nullptr);

 private:
  void changed();
  void parseIfChanged();

  std::string path_;
  SystemLog& log_;
  mutable std::mutex mutex_;
  std::shared_ptr<const RecentDocumentIndex> index_;
  std::optional<std::string> parsedVersion_;  // of the file last parsed (queue only)
  std::atomic<bool> parseQueued_{false};
  QFileSystemWatcher watcher_;
  // Last, so it finishes its parse before the rest goes away.
  ThreadSerialQueue queue_{"quayline.recent-documents"};
};

}  // namespace quayline
