#pragma once

#include <plist/plist.h>

#include <memory>
#include <string>

namespace keelguard {

struct PlistDeleter {
  void operator()(plist_t node) const { plist_free(node); }
};
// An owned property-list node.
using Plist = std::unique_ptr<void, PlistDeleter>;

struct PropertyListRead {
  enum class Status { missing, unreadable, dictionary };
  Status status = Status::missing;
  Plist dictionary;  // set only when status is dictionary
};

// Reads an XML or binary property list whose root must be a dictionary.
PropertyListRead readDictionaryFile(const std::string& path);

// Writes the node as an XML property list beside the target, flushes it to disk and renames it
// over the target, so readers see either the old file or the whole new one. The file gets mode
// 0600. False when any step failed; the target is then unchanged.
bool writeXmlFileAtomically(const std::string& path, plist_t node);

}  // namespace keelguard
