#pragma once

#include <string>
#include <string_view>

struct UCollator;

namespace quayline {

// The order a file manager shows names in: letters compared without regard to case, runs of
// digits compared by their value ("File 2" before "File 10"), accents and scripts as the root
// locale's collation places them. One instance per thread: the collator is not shared.
class NaturalOrder {
 public:
  NaturalOrder();
  ~NaturalOrder();
  NaturalOrder(const NaturalOrder&) = delete;
  NaturalOrder& operator=(const NaturalOrder&) = delete;

  // Bytes whose plain comparison orders names as `less` does; cheaper than comparing the texts
  // again for every pair of a large sort. Ill-formed UTF-8 sorts as U+FFFD.
  std::string sortKey(std::string_view utf8) const;

  bool less(std::string_view a, std::string_view b) const;

 private:
  UCollator* collator_ = nullptr;
};

}  // namespace quayline
