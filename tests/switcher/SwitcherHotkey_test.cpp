#include "switcher/SwitcherHotkey.h"

#include <gtest/gtest.h>

#include "fakes/FakeKeyboardHook.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSystemLog.h"

namespace quayline {
namespace {

using Event = SwitcherHotkeyEvent;
constexpr auto kOption = ModifierFlag::option;
constexpr auto kShift = ModifierFlag::shift;
constexpr auto kCommand = ModifierFlag::command;

class SwitcherHotkeyTest : public testing::Test {
 protected:
  SwitcherHotkeyTest() {
    hotkey.handler = [this](const Event& event) {
      events.push_back(event);
      if (event.kind == Event::Kind::begin) {
        hotkey.setSessionActive(true);
      } else if (event.kind == Event::Kind::commit || event.kind == Event::Kind::cancel) {
        hotkey.setSessionActive(false);
      }
    };
  }

  FakeKeyboardHook hook;
  FakeScheduler scheduler;
  FakeSystemLog log;
  SwitcherHotkey hotkey{hook, scheduler, log};
  std::vector<Event> events;
};

TEST_F(SwitcherHotkeyTest, ASessionFromBeginToCommit) {
  hotkey.enable();
  ASSERT_TRUE(hotkey.hasTap());
  EXPECT_FALSE(hook.flags(kOption));             // the modifier itself passes
  EXPECT_FALSE(hook.press(VirtualKey::tab, 0));  // Tab without it passes too
  EXPECT_FALSE(hook.release(VirtualKey::tab, 0));
  EXPECT_TRUE(hook.press(VirtualKey::tab, kOption));  // begins, swallowed with its release
  EXPECT_TRUE(hook.release(VirtualKey::tab, kOption));
  EXPECT_TRUE(hook.state->sessionActive);

  struct Key {
    std::int64_t code;
    std::uint64_t flags;
    std::optional<Event> event;
  };
  for (const Key& key : {Key{VirtualKey::tab, kOption, Event::cycle(true)},
                         {VirtualKey::tab, kOption | kShift, Event::cycle(false)},
                         {VirtualKey::grave, kOption, Event::cycle(true)},
                         {VirtualKey::section, kOption | kShift, Event::cycle(false)},
                         {VirtualKey::leftArrow, kOption, Event::cycle(false)},
                         {VirtualKey::rightArrow, kOption, Event::cycle(true)},
                         {VirtualKey::downArrow, kOption, Event::move(true)},
                         {VirtualKey::upArrow, kOption, Event::move(false)},
                         {VirtualKey::other, kOption, std::nullopt}}) {
    events.clear();
    EXPECT_EQ(hook.press(key.code, key.flags), key.event.has_value()) << key.code;
    EXPECT_EQ(hook.release(key.code, key.flags), key.event.has_value()) << key.code;
    EXPECT_EQ(events, key.event ? std::vector{*key.event} : std::vector<Event>{}) << key.code;
  }

  events.clear();
  EXPECT_FALSE(hook.flags(kOption | kShift));  // still held: nothing
  EXPECT_FALSE(hook.flags(kShift));            // released: one commit, never swallowed
  EXPECT_EQ(events, std::vector{Event::commit()});
  EXPECT_FALSE(hook.flags(0));  // outside a session: nothing
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(SwitcherHotkeyTest, BeginsAndCancels) {
  hotkey.enable();
  struct Case {
    std::uint64_t modifier;
    std::int64_t code;
    std::uint64_t flags;
    std::optional<Event> event;
  };
  for (const Case& c : {Case{kOption, VirtualKey::tab, kOption | kShift, Event::begin(false, true)},
                        {kOption, VirtualKey::grave, kOption, Event::begin(true, false)},
                        {kOption, VirtualKey::section, kOption | kShift, Event::begin(true, true)},
                        {kOption, VirtualKey::escape, kOption, std::nullopt},
                        {kOption, VirtualKey::tab, kCommand, std::nullopt},
                        {kCommand, VirtualKey::tab, kCommand | kOption, Event::begin(false, false)},
                        {kCommand, VirtualKey::tab, kOption, std::nullopt}}) {
    hotkey.setModifier(c.modifier);
    EXPECT_EQ(hook.state->modifier, c.modifier);
    events.clear();
    EXPECT_EQ(hook.press(c.code, c.flags), c.event.has_value());
    EXPECT_EQ(hook.release(c.code, c.flags), c.event.has_value());
    EXPECT_EQ(events, c.event ? std::vector{*c.event} : std::vector<Event>{});
    if (hotkey.isSessionActive()) {
      EXPECT_TRUE(hook.press(VirtualKey::escape, c.flags));
      EXPECT_TRUE(hook.release(VirtualKey::escape, c.flags));
      EXPECT_EQ(events.back(), Event::cancel());
      EXPECT_FALSE(hotkey.isSessionActive());
    }
  }
  // A key-up whose key-down went through passes, even when it is one of the shortcut's keys.
  EXPECT_FALSE(hook.press(VirtualKey::grave, 0));
  EXPECT_FALSE(hook.release(VirtualKey::grave, kOption));
}

TEST_F(SwitcherHotkeyTest, RetriesTenTimesThenWaitsForEnsureEnabled) {
  hook.refuse = true;
  hotkey.enable();
  scheduler.advance(30);
  EXPECT_EQ(hook.creations, 10);
  EXPECT_FALSE(hotkey.isRetrying());
  EXPECT_EQ(log.messagesIn("switcher"),
            std::vector<std::string>{"SwitcherHotkey: tapCreate failed 10 times; Accessibility "
                                     "not granted? ensureEnabled() retries."});
  hook.refuse = false;
  hotkey.ensureEnabled();
  EXPECT_EQ(hook.creations, 11);
  EXPECT_TRUE(hotkey.hasTap());

  hook.state->enabled = false;  // the system turned it off
  hotkey.ensureEnabled();
  EXPECT_TRUE(hook.state->enabled);
  hook.state->enabled = false;
  EXPECT_FALSE(hook.send(GlobalKeyboardHook::EventType::disabledByTimeout, 0, 0));
  EXPECT_TRUE(hook.state->enabled);

  hotkey.stop();
  EXPECT_FALSE(hook.state->installed);
  hotkey.ensureEnabled();  // not wanted any more
  EXPECT_EQ(hook.creations, 11);
}

}  // namespace
}  // namespace quayline
