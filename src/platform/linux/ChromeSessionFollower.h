#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chrome/SessionAttribution.h"
#include "foundation/Signal.h"
#include "foundation/Subscription.h"

namespace quayline {

class FolderWatch;
class Scheduler;
class SerialQueue;

// Follows the newest session file ("Sessions/Session_*") of each of the browser's profiles. The
// browser appends to the file while it runs and now and then starts a new one; each change is
// read and parsed on the queue and published on the main thread.
class ChromeSessionFollower {
 public:
  // The browser writes a burst of records at once: one read after it settles.
  static constexpr double readDelay = 0.2;

  struct Services {
    Scheduler& scheduler;
    SerialQueue& queue;
    FolderWatch& folders;
  };

  // What was last read: each profile's session, and the file it came from.
  struct Snapshot {
    session_attribution::Sessions sessions;
    std::map<std::string, std::string> files;  // profile directory → session file path

    bool operator==(const Snapshot&) const = default;
  };

  ChromeSessionFollower(Services services, std::string supportDirectory);
  ~ChromeSessionFollower();
  ChromeSessionFollower(const ChromeSessionFollower&) = delete;
  ChromeSessionFollower& operator=(const ChromeSessionFollower&) = delete;

  // The profiles to follow; profiles no longer listed are dropped.
  void follow(const std::vector<std::string>& directories);

  const Snapshot& snapshot() const { return snapshot_; }
  // True when no change seen on disk waits to be read or published.
  bool settled() const;
  // Called on the main thread after each published change.
  Subscription observe(std::function<void()> changed) {
    return changed_.connect(std::move(changed));
  }

 private:
  struct Profile {
    Subscription sessionsFolder;
    Subscription profileFolder;
    Subscription pendingRead;
    unsigned generation = 0;
    bool reading = false;
  };

  void watch(const std::string& directory);
  void scheduleRead(const std::string& directory);
  void read(const std::string& directory);
  void publish(const std::string& directory, unsigned generation, std::string file,
               std::optional<SessionState> session);

  Services services_;
  std::string supportDirectory_;
  std::map<std::string, Profile> profiles_;
  Snapshot snapshot_;
  // Shared with reads in flight, so a result that lands after the follower is gone is dropped.
  std::shared_ptr<ChromeSessionFollower*> self_;
  Signal<> changed_;
};

}  // namespace quayline
