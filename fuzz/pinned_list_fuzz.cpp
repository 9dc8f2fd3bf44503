// Stored pinned lists come from a preference file anyone can edit: decoding must never crash,
// and whatever it accepts must survive a round trip unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/PinnedItem.h"
#include "model/PinnedRow.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto items = quayline::decodePinnedList(text);
  if (!items) {
    return 0;
  }
  const auto again = quayline::decodePinnedList(quayline::encodePinnedList(*items));
  if (!again || *again != *items) {
    std::abort();
  }
  const auto unique = quayline::PinnedRow::deduplicated(*items);
  if (quayline::PinnedRow::deduplicated(unique) != unique) {
    std::abort();
  }
  return 0;
}
