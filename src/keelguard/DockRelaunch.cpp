#include "DockRelaunch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

#include "Constants.h"

extern char** environ;

namespace keelguard {

void relaunchDock() {
  // Keelguard writes nothing to standard output, and killall's complaint about a missing dock
  // process is of no use to anyone: both go to the null device.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

  char* const arguments[] = {const_cast<char*>(killallPath), const_cast<char*>(dockProcessName),
                             nullptr};
  pid_t child = 0;
  int failed = posix_spawn(&child, killallPath, &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    return;
  }
  while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace keelguard
