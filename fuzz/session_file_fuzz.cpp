// Session files are the browser's, rewritten while we read them: any bytes must parse without
// crashing, and every title that comes out is valid UTF-8.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chrome/SessionFile.h"
#include "foundation/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto state = quayline::session_file::parse(bytes);
  if (!state) {
    return 0;
  }
  if (state->activations.size() > size / 7) {
    std::abort();
  }
  for (const auto& [window, title] : state->selectedTitles) {
    if (!quayline::isValidUtf8(title)) {
      std::abort();
    }
  }
  return 0;
}
