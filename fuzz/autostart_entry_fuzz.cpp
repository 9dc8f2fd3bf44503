// The autostart entry is the user's file, which desktops and people edit: reading its status must
// never crash, and any argument list read from an Exec value must survive being written back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ScratchFile.h"
#include "platform/linux/XdgAutostartEntry.h"

using quayline::XdgAutostartEntry;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static quayline::fuzz::ScratchFile scratch(".desktop");
  XdgAutostartEntry entry(scratch.write(data, size));
  if (entry.status() == XdgAutostartEntry::Status::notRegistered) {
    std::abort();  // the file is there
  }
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto arguments = XdgAutostartEntry::execArguments(text);
  if (!arguments.empty() &&
      XdgAutostartEntry::execArguments(XdgAutostartEntry::execValue(arguments)) != arguments) {
    std::abort();
  }
  // Whatever the program's path, the entry written for it names it alone.
  const std::string program(text);
  const auto written = XdgAutostartEntry::execArguments(XdgAutostartEntry::execValue({program}));
  if (written.size() != 1 || written.front() != program) {
    std::abort();
  }
  return 0;
}
