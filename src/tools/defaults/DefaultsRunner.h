#pragma once

#include <istream>
#include <ostream>

#include "platform/linux/FilePreferenceDomains.h"
#include "tools/defaults/DefaultsCommand.h"

namespace quayline::defaults {

struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// Carries out the command; the exit status: 0 when it did what was asked, 1 otherwise, with
// the reason on the error stream. A command that fails writes nothing.
int run(const Command& command, FilePreferenceDomains& domains, Streams streams);

}  // namespace quayline::defaults
