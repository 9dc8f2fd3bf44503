#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "dock/TrashDropFeedback.h"
#include "platform/FileOperations.h"

namespace quayline {

// Files known by path. Records every move; a path in `failing` fails to move.
class FakeFileOperations final : public FileOperations {
 public:
  FileFacts facts(const std::string& path) override {
    ++factReads;
    const auto found = known.find(path);
    return found == known.end() ? FileFacts{false, false, {}} : found->second;
  }
  FileOperationResult moveToTrash(const std::string& path) override {
    return record("trash " + path, path);
  }
  FileOperationResult moveWithoutReplacing(const std::string& path,
                                           const std::string& destination) override {
    return record("move " + path + " -> " + destination, path);
  }

  void addFile(const std::string& path) { known[path] = FileFacts{false, false, {}}; }
  void addFolder(const std::string& path) { known[path] = FileFacts{true, false, {}}; }
  void addApplication(const std::string& path, const std::string& identifier) {
    known[path] = FileFacts{false, true, identifier};
  }

  std::map<std::string, FileFacts> known;
  std::set<std::string> failing;
  std::vector<std::string> operations;  // successful ones only
  int factReads = 0;

 private:
  FileOperationResult record(std::string operation, const std::string& path) {
    if (failing.contains(path)) {
      return FileOperationResult::failure("refused");
    }
    operations.push_back(std::move(operation));
    return FileOperationResult::success();
  }
};

// Counts what the Trash was asked to do after a drop.
struct FakeTrashFeedback final : TrashDropFeedback {
  void playDropSound() override { ++sounds; }
  void refresh() override { ++refreshes; }
  int sounds = 0;
  int refreshes = 0;
};

}  // namespace quayline
