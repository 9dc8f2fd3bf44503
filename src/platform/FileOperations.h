#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace quayline {

// What the dock reads about a file dropped on it.
struct FileFacts {
  // None when it cannot be read (the file vanished, a folder on the way is unreadable).
  std::optional<bool> isDirectory;
  // An installed application: on a desktop with desktop entries, an entry the system loads as
  // an application and that lies in one of the applications folders.
  bool isApplication = false;
  // The identifier the dock knows the application by; none for anything else.
  std::optional<std::string> bundleIdentifier;

  bool operator==(const FileFacts&) const = default;
};

// How a file operation ended; `error` says why one failed, in words for the log.
struct FileOperationResult {
  bool succeeded = false;
  std::string error;

  static FileOperationResult success() { return {true, {}}; }
  static FileOperationResult failure(std::string why) { return {false, std::move(why)}; }
  bool operator==(const FileOperationResult&) const = default;
};

std::ostream& operator<<(std::ostream& out, const FileOperationResult& result);

// Reading and moving the user's files. `facts` is quick enough for the main thread; the moves
// may take long (a copy to another file system) and are called off it.
class FileOperations {
 public:
  virtual ~FileOperations() = default;

  virtual FileFacts facts(const std::string& path) = 0;

  // Moves the item to the user's Trash, where it can be put back from. Never deletes it instead,
  // and refuses an item that already is in a Trash.
  virtual FileOperationResult moveToTrash(const std::string& path) = 0;

  // Moves the item to `destination`, which must not exist: an existing item is never replaced.
  virtual FileOperationResult moveWithoutReplacing(const std::string& path,
                                                   const std::string& destination) = 0;
};

inline std::ostream& operator<<(std::ostream& out, const FileOperationResult& result) {
  return out << (result.succeeded ? "success" : "failure: " + result.error);
}

}  // namespace quayline
