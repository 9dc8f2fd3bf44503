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

  // Negative when `a` comes first, zero when the order cannot tell them apart. Ill-formed UTF-8
  // compares as U+FFFD.
  int compare(std::string_view a, std::string_view b) const;
  bool less(std::string_view a, std::string_view b) const { return compare(a, b) < 0; }

 private:
  UCollator* collator_ = nullptr;
};

}  // namespace quayline
