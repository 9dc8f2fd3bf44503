#pragma once

#include <functional>
#include <string>

namespace quayline {

// A question put to the user before something that cannot be undone.
struct Confirmation {
  std::string message;
  std::string informativeText;
  std::string confirmTitle;  // the button that goes ahead; "Cancel" is the default one
  bool operator==(const Confirmation&) const = default;
};

// Asks the user. `confirmed` runs only when the user chooses the confirming button; closing
// the question or Cancel runs nothing.
class Confirmations {
 public:
  virtual ~Confirmations() = default;
  virtual void confirm(const Confirmation& question, std::function<void()> confirmed) = 0;
};

}  // namespace quayline
