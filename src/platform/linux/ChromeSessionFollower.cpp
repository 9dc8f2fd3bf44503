#include "platform/linux/ChromeSessionFollower.h"

#include <filesystem>
#include <optional>

#include "foundation/FileReading.h"
#include "foundation/Scheduler.h"
#include "foundation/SerialQueue.h"
#include "platform/FolderWatch.h"

namespace quayline {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSessions = "Sessions";
constexpr std::string_view kSessionPrefix = "Session_";

// The most recently written session file of a profile; the browser names them by the time it
// started them, so on equal times the greater name is the newer.
std::optional<fs::path> newestSessionFile(const fs::path& folder) {
  std::error_code error;
  fs::directory_iterator it(folder, error);
  std::optional<fs::path> newest;
  fs::file_time_type newestTime;
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().string();
    std::error_code statError;
    // Only regular files: a FIFO planted here would block the read.
    if (!name.starts_with(kSessionPrefix) || !it->is_regular_file(statError)) {
      continue;
    }
    const auto time = it->last_write_time(statError);
    if (statError) {
      continue;
    }
    if (!newest || time > newestTime || (time == newestTime && it->path() > *newest)) {
      newest = it->path();
      newestTime = time;
    }
  }
  return newest;
}

}  // namespace

ChromeSessionFollower::ChromeSessionFollower(Services services, std::string supportDirectory)
    : services_(services),
      supportDirectory_(std::move(supportDirectory)),
      self_(std::make_shared<ChromeSessionFollower*>(this)) {}

ChromeSessionFollower::~ChromeSessionFollower() {
  *self_ = nullptr;
}

void ChromeSessionFollower::follow(const std::vector<std::string>& directories) {
  std::map<std::string, Profile> kept;
  bool dropped = false;
  for (const auto& directory : directories) {
    // A directory name from "Local State" never leads out of the data folder.
    if (directory.empty() || directory == "." || directory == ".." ||
        directory.find('/') != std::string::npos || kept.contains(directory)) {
      continue;
    }
    if (auto found = profiles_.find(directory); found != profiles_.end()) {
      kept.emplace(directory, std::move(found->second));
      profiles_.erase(found);
    } else {
      kept.emplace(directory, Profile{});
    }
  }
  for (const auto& [directory, profile] : profiles_) {
    dropped = snapshot_.sessions.erase(directory) > 0 || dropped;
    snapshot_.files.erase(directory);
  }
  profiles_ = std::move(kept);
  for (auto& [directory, profile] : profiles_) {
    if (!profile.profileFolder.active() && !profile.sessionsFolder.active()) {
      watch(directory);
      read(directory);
    }
  }
  if (dropped) {
    changed_.emit();
  }
}

bool ChromeSessionFollower::settled() const {
  for (const auto& [directory, profile] : profiles_) {
    if (profile.reading || profile.pendingRead.active()) {
      return false;
    }
  }
  return true;
}

void ChromeSessionFollower::watch(const std::string& directory) {
  Profile& profile = profiles_[directory];
  const std::string folder = supportDirectory_ + "/" + directory;
  profile.sessionsFolder = services_.folders.watchWrites(
      folder + "/" + kSessions, [this, directory](const std::string& entry) {
        if (entry.starts_with(kSessionPrefix)) {
          scheduleRead(directory);
        }
      });
  // Until the browser first saves the profile's session, its folder is watched for it.
  profile.profileFolder =
      services_.folders.watch(folder, [this, directory](const std::string& entry) {
        if (entry == kSessions) {
          watch(directory);
          scheduleRead(directory);
        }
      });
}

void ChromeSessionFollower::scheduleRead(const std::string& directory) {
  auto found = profiles_.find(directory);
  if (found == profiles_.end()) {
    return;
  }
  found->second.pendingRead = services_.scheduler.after(Scheduler::Seconds(readDelay),
                                                        [this, directory] { read(directory); });
}

void ChromeSessionFollower::read(const std::string& directory) {
  auto found = profiles_.find(directory);
  if (found == profiles_.end()) {
    return;
  }
  Profile& profile = found->second;
  profile.pendingRead.reset();
  profile.reading = true;
  const unsigned generation = ++profile.generation;
  const fs::path folder = fs::path(supportDirectory_) / directory / kSessions;
  services_.queue.async(
      [folder, directory, generation, self = self_, &scheduler = services_.scheduler] {
        std::string file;
        std::optional<SessionState> session;
        if (const auto newest = newestSessionFile(folder)) {
          file = newest->string();
          if (const auto bytes = readFile(*newest, session_file::sizeLimit)) {
            session = session_file::parse(*bytes);
          }
        }
        scheduler.post([self, directory, generation, file = std::move(file),
                        session = std::move(session)]() mutable {
          if (*self != nullptr) {
            (*self)->publish(directory, generation, std::move(file), std::move(session));
          }
        });
      });
}

void ChromeSessionFollower::publish(const std::string& directory, unsigned generation,
                                    std::string file, std::optional<SessionState> session) {
  auto found = profiles_.find(directory);
  // Only the newest read counts: an older one may have caught an older file.
  if (found == profiles_.end() || found->second.generation != generation) {
    return;
  }
  found->second.reading = false;
  Snapshot next = snapshot_;
  if (session) {
    next.sessions[directory] = std::move(*session);
    next.files[directory] = std::move(file);
  } else if (file.empty()) {
    next.sessions.erase(directory);
    next.files.erase(directory);
  } else if (next.files[directory] != file) {
    // A new file that cannot be read (encrypted, of a newer version, too large) says nothing;
    // the old one no longer describes the windows.
    next.sessions.erase(directory);
    next.files[directory] = std::move(file);
  }
  // The same file unreadable for a moment keeps what was read of it last.
  if (next != snapshot_) {
    snapshot_ = std::move(next);
    changed_.emit();
  }
}

}  // namespace quayline
