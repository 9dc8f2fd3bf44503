#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dock/Confirmations.h"
#include "dock/TrashState.h"
#include "foundation/Signal.h"
#include "platform/Trash.h"
#include "platform/UiSounds.h"

namespace quayline {

// A trash held in memory: the names of its items, whether it can be listed at all, and a
// record of what was asked of it.
class FakeTrash final : public Trash {
 public:
  bool listItems(const std::function<bool(std::string_view name)>& visit) override {
    ++listings;
    if (!listable) {
      return false;
    }
    for (const std::string& item : items) {
      if (!visit(item)) {
        break;
      }
    }
    return true;
  }
  std::optional<std::int64_t> fileManagerItemCount() override { return fileManagerCount; }
  void empty() override {
    ++emptied;
    items.clear();
  }
  void open() override { ++opened; }

  std::vector<std::string> items;
  bool listable = true;
  std::optional<std::int64_t> fileManagerCount;
  int listings = 0;
  int emptied = 0;
  int opened = 0;
};

class RecordingUiSounds final : public UiSounds {
 public:
  void play(UiSound sound) override { played.push_back(sound); }
  std::vector<UiSound> played;
};

// The Trash as a tile sees it, set by the test.
class FakeTrashState final : public TrashState {
 public:
  bool isFull() const override { return full; }
  Subscription observeTrash(std::function<void()> observer) override {
    return changed_.connect(std::move(observer));
  }
  void openTrash() override { ++opened; }
  void emptyTrash() override { ++emptied; }
  void setFull(bool value) {
    full = value;
    changed_.emit();
  }

  bool full = false;
  int opened = 0;
  int emptied = 0;

 private:
  Signal<> changed_;
};

// Answers every question with `answer` and keeps the questions.
class FakeConfirmations final : public Confirmations {
 public:
  void confirm(const Confirmation& question, std::function<void()> confirmed) override {
    asked.push_back(question);
    if (answer) {
      confirmed();
    }
  }
  bool answer = false;
  std::vector<Confirmation> asked;
};

}  // namespace quayline
