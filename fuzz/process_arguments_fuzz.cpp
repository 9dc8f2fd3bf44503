// Argument buffers come from the kernel but describe any process, which may have rewritten its
// own: parsing must never read past the buffer, and never yields more strings than it announces.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chrome/ProcessArgumentsBuffer.h"
#include "foundation/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view buffer(reinterpret_cast<const char*>(data), size);
  const auto arguments = quayline::parseProcessArgumentsBuffer(buffer);
  if (arguments.size() > size) {
    std::abort();
  }
  for (const auto& argument : arguments) {
    if (!quayline::isValidUtf8(argument)) {
      std::abort();
    }
  }
  return 0;
}
