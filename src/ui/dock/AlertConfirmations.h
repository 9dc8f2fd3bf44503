#pragma once

#include "dock/Confirmations.h"

namespace quayline {

// Puts each question in an alert of its own, above every window, with "Cancel" as the default
// button, so Return or Escape never erases anything by accident.
class AlertConfirmations final : public Confirmations {
 public:
  void confirm(const Confirmation& question, std::function<void()> confirmed) override;
};

}  // namespace quayline
