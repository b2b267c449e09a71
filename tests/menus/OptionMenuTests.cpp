// The play-method and skill menus on the simulated desktop: where they start, what a key cuts,
// what Enter stores and what the game start is told.
#include <gtest/gtest.h>

#include "tests/support/AppWorld.h"

namespace strikora {
namespace {

using testing::At;
using testing::KeyAt;
using testing::Keys;
using testing::Said;

class OptionMenus : public ::testing::Test {
 protected:
  // Shows the menu with `stored` in its setting (nullptr: none yet, first check only), runs the
  // keys, and checks what was heard, stored ("none": nothing), accepted and chosen.
  void Check(StoredChoiceMenu& menu, const char* key, const std::int16_t& chosen, const char* name,
             const char* stored, const std::vector<KeyAt>& keys, const char* heard,
             const char* storedAfter, bool accepted, int choice) {
    SCOPED_TRACE(name);
    w.sim.platform.Trace.Clear();
    w.app->Session() = GameSession{};
    if (stored != nullptr) w.sim.settings.SaveSetting("KORVELDA", "Menu", key, stored);
    w.Script(keys);
    menu.Show(ShowMode::Modal);
    EXPECT_EQ(w.Heard(), Said(heard));
    EXPECT_EQ(w.sim.settings.GetSetting("KORVELDA", "Menu", key, "none"), storedAfter);
    EXPECT_EQ(w.app->Session().MenuAccepted, accepted);
    EXPECT_EQ(chosen, choice);
    EXPECT_EQ(w.sim.world.PendingKeys(), 0U);
  }
  testing::AppWorld w;
};

TEST_F(OptionMenus, PlayMethod) {
  const auto check = [this](auto... args) {
    Check(w.app->SelPlayMethod(), "Play", w.app->Session().PlayMethod, args...);
  };
  check("first run: first item; Escape stores nothing", nullptr, Keys(At("pm1", vk::Escape)),
        "psapm pm1", "none", false, 1);
  check("starts on the stored item; Down on the last wraps; Enter stores", "1",
        Keys(At("pm2", vk::Down), At("pm1", vk::Down), At("pm2", vk::Enter, 2)),
        "psapm pm2 pm1 pm2", "1", true, 2);
  // Keys act during the prompt: the item a key spoke, or the closed menu's silence, is all
  // that follows it.
  check("Escape during the prompt: nothing more", "1", Keys(At("psapm", vk::Escape, 1, 100)),
        "psapm", "1", false, 1);
  check("Down during the prompt: the new item once", "1",
        Keys(At("psapm", vk::Down, 1, 100), At("pm1", vk::Enter)), "psapm pm1", "0", true, 1);
  check(
      "a stored value that is no item reads as the first; Ctrl alone only silences, Ctrl "
      "with Alt is no silencing state",
      "x1",
      Keys(At("pm1", vk::Down, 1, 50, mod::Ctrl), At("pm1", vk::Down, 1, 450, mod::Ctrl | mod::Alt),
           At("pm2", vk::Enter)),
      "psapm pm1 pm2", "1", true, 2);
}

TEST_F(OptionMenus, Skill) {
  const auto check = [this](auto... args) {
    Check(w.app->SelSkill(), "Skill", w.app->Session().SkillLevel, args...);
  };
  check("first run: first item with its description; Up wraps; Enter stores", nullptr,
        Keys(At("ld1", vk::Up), At("ld5", vk::Enter)), "pssl l1 ld1 l5 ld5", "4", true, 5);
  check(
      "Down while a level is named skips its description, Down cuts a description, Ctrl "
      "alone silences the rest of an item",
      "1",
      Keys(At("l2", vk::Down, 1, 100), At("ld3", vk::Down, 1, 100),
           At("l4", vk::Control, 1, 100, mod::Ctrl), At("l4", vk::Escape)),
      "pssl l2 l3 ld3 l4", "1", false, 1);
  check("Escape during the prompt: no level, no description", "2",
        Keys(At("pssl", vk::Escape, 1, 100)), "pssl", "2", false, 1);
  check("a letter repeats the item, its description only once", "7",
        Keys(At("l1", vk::Letter('Q'), 1, 100), At("ld1", vk::Enter)), "pssl l1 l1 ld1", "0", true,
        1);
}

}  // namespace
}  // namespace strikora
