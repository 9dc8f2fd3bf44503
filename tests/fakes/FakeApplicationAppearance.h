#pragma once

#include <optional>
#include <vector>

#include "platform/ApplicationAppearance.h"

namespace quayline {

class FakeApplicationAppearance final : public ApplicationAppearance {
 public:
  void set(std::optional<Name> name) override { applied.push_back(name); }
  std::vector<std::optional<Name>> applied;
};

}  // namespace quayline
