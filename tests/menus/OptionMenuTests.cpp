// The play-method and skill menus on the simulated desktop: where they start, what a key cuts,
// what Enter stores and what the game start is told.
#include <gtest/gtest.h>

#include "tests/support/AppWorld.h"

namespace strikora {
namespace {

using testing::KeyAt;
using Clips = std::vector<std::string>;

struct Case {
  const char* Name;
  const char* Stored;  // nullptr: nothing stored yet (first case only)
  std::vector<KeyAt> Keys;
  Clips Heard;
  const char* StoredAfter;
  bool Accepted;
  int Choice;  // PlayMethod or SkillLevel afterwards (1 when left with Escape)
};

class OptionMenus : public ::testing::Test {
 protected:
  void Check(StoredChoiceMenu& menu, const char* key, const std::vector<Case>& cases,
             const std::int16_t& choice) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.Name);
      w.sim.platform.Trace.Clear();
      w.app->Session() = GameSession{};
      if (c.Stored != nullptr) w.sim.settings.SaveSetting("KORVELDA", "Menu", key, c.Stored);
      w.Script(c.Keys);
      menu.Show(ShowMode::Modal);
      EXPECT_EQ(w.Heard(), c.Heard);
      EXPECT_EQ(w.sim.settings.GetSetting("KORVELDA", "Menu", key, "none"), c.StoredAfter);
      EXPECT_EQ(w.app->Session().MenuAccepted, c.Accepted);
      EXPECT_EQ(choice, c.Choice);
    }
  }
  testing::AppWorld w;
};

TEST_F(OptionMenus, PlayMethod) {
  Check(w.app->SelPlayMethod(), "Play",
        {{"first run: first item; Escape stores nothing",
          nullptr,
          {{"/pm1.wav", vk::Escape}},
          {"psapm.wav", "pm1.wav"},
          "none",
          false,
          1},
         {"starts on the stored item; Down on the last wraps; Enter stores",
          "1",
          {{"/pm2.wav", vk::Down}, {"/pm1.wav", vk::Down}, {"/pm2.wav", vk::Enter, 0, 450, 2}},
          {"psapm.wav", "pm2.wav", "pm1.wav", "pm2.wav"},
          "1",
          true,
          2},
         {"a stored value that is no item reads as the first",
          "7",
          {{"/pm1.wav", vk::Letter('X')}, {"/pm1.wav", vk::Enter, 0, 450, 2}},
          {"psapm.wav", "pm1.wav", "pm1.wav"},
          "0",
          true,
          1},
         {"Ctrl alone only silences; Ctrl with Alt is no silencing state",
          "x1",
          {{"/pm1.wav", vk::Down, mod::Ctrl, 50},
           {"/pm1.wav", vk::Down, mod::Ctrl | mod::Alt, 450},
           {"/pm2.wav", vk::Enter}},
          {"psapm.wav", "pm1.wav", "pm2.wav"},
          "1",
          true,
          2}},
        w.app->Session().PlayMethod);
}

TEST_F(OptionMenus, Skill) {
  Check(w.app->SelSkill(), "Skill",
        {{"first run: first item with its description; Up wraps; Enter stores",
          nullptr,
          {{"/ld1.wav", vk::Up}, {"/ld5.wav", vk::Enter}},
          {"pssl.wav", "l1.wav", "ld1.wav", "l5.wav", "ld5.wav"},
          "4",
          true,
          5},
         {"Down while a level is named skips its description, Down cuts a description, and "
          "Ctrl alone silences the rest of an item",
          "1",
          {{"/l2.wav", vk::Down, 0, 100},
           {"/ld3.wav", vk::Down, 0, 100},
           {"/l4.wav", vk::Control, mod::Ctrl, 100},
           {"/l4.wav", vk::Escape}},
          {"pssl.wav", "l2.wav", "l3.wav", "ld3.wav", "l4.wav"},
          "1",
          false,
          1},
         {"a letter repeats the item, its description only once",
          "2",
          {{"/l3.wav", vk::Letter('Q'), 0, 100}, {"/ld3.wav", vk::Enter}},
          {"pssl.wav", "l3.wav", "l3.wav", "ld3.wav"},
          "2",
          true,
          3}},
        w.app->Session().SkillLevel);
  EXPECT_EQ(w.sim.world.PendingKeys(), 0U);
}

}  // namespace
}  // namespace strikora
