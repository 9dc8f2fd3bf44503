#include "Snapshot.h"

#include <cmath>
#include <cstdint>

#include "Constants.h"

namespace keelguard {

Plist readSnapshot(const std::string& path) {
  auto read = readDictionaryFile(path);
  if (read.status == PropertyListRead::Status::dictionary) {
    return std::move(read.dictionary);
  }
  return Plist(plist_new_dict());
}

bool holdsOwnValues(plist_t dictionary) {
  if (plist_dict_get_size(dictionary) == 0) {
    return false;
  }
  plist_t delay = plist_dict_get_item(dictionary, std::string(delayKey).c_str());
  if (delay == nullptr) {
    return false;
  }
  switch (plist_get_node_type(delay)) {
    case PLIST_UINT: {
      // Integers are stored unsigned; a negative value is its two's-complement bit pattern.
      uint64_t raw = 0;
      plist_get_uint_val(delay, &raw);
      return static_cast<std::int64_t>(raw) == ownDelay;
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(delay, &value);
      // The integer value of a real is its truncation.
      return std::isfinite(value) && std::trunc(value) == static_cast<double>(ownDelay);
    }
    default:
      return false;
  }
}

}  // namespace keelguard
