#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quayline {

// One installed application, as its desktop entry (.desktop file) describes it.
struct DesktopEntry {
  std::string desktopFileId;  // "org.example.Editor.desktop"
  std::string bundleIdentifier;
  std::string name;  // localized by the environment's language
  std::string path;  // the .desktop file
  std::string startupWMClass;
  std::string executable;  // file name of the program the entry runs
  bool noDisplay = false;
  // The command line passes nothing but field codes (%U, %f, …): the program's main entry,
  // rather than one that opens a particular part of it ("--preferences").
  bool plainCommand = true;
  bool operator==(const DesktopEntry&) const = default;
};

// What a running client window tells about the application it belongs to.
struct ClientIdentity {
  std::string instance;    // WM_CLASS instance
  std::string className;   // WM_CLASS class
  std::string executable;  // file name of /proc/<pid>/exe, when readable
  // The entry the window names itself: _GTK_APPLICATION_ID, _KDE_NET_WM_DESKTOP_FILE (an id,
  // with or without ".desktop", or a path).
  std::string applicationId;
  std::string desktopFile;
  // The entry (path) this program launched the window's process or startup sequence from.
  std::string launchedEntry;
};

// Programs that run other programs (shells, interpreters, runtimes, sandboxes): the running
// process's executable says nothing about which entry started it.
bool isLauncherProgram(std::string_view executable);

// The entry a client window belongs to, in order of evidence: the entry the window names, the
// entry whose StartupWMClass is the window's class or instance, the entry this program launched
// it from, the entry whose id (whole, or its last dot-separated part) is the class or instance,
// an entry that runs the client's program (never a launcher; the program's plain, shown entry
// first), and last an entry whose program is named like the class. Null when none fits.
const DesktopEntry* matchDesktopEntry(const std::vector<DesktopEntry>& entries,
                                      const ClientIdentity& client);

// The entry that runs the program (never a launcher), its plain, shown entry first; for startup
// messages that name only the program.
const DesktopEntry* entryRunning(const std::vector<DesktopEntry>& entries,
                                 std::string_view executable);

// The entry an application id names: a desktop-file id, with or without ".desktop", or a path.
const DesktopEntry* entryNamed(const std::vector<DesktopEntry>& entries, std::string_view id);

}  // namespace quayline
