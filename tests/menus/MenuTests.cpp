// The menus on the simulated desktop, heard through the whole application as the player meets
// them: what each key says and does, what is chosen and stored, what the roster keeps.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/AppWorld.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using testing::At;
using testing::KeyAt;
using testing::Keys;
using testing::Said;

TEST(MainMenu, WhatEachKeySaysAndDoes) {
  // The clips a key cut short; the pauses, ten before each prompt, two between the hour and the
  // minutes.
  struct Case {
    const char* name;
    int item;
    std::vector<KeyAt> keys;
    const char* heard;
    int stops, pauses = 10;
  };
  // clang-format off
  const int Ctrl = mod::Ctrl, Shift = mod::Shift, Esc = vk::Escape;
  const std::vector<Case> cases = {
      {"arrows wrap both ways; other keys repeat the item, cutting it if it still plays", fMain::kStartGame,
       Keys(At("lgb", vk::Up, 1, 50), At("lta", vk::Down, 1, 50), At("lgb", vk::Letter('P'), 2, 50),
            At("lgb", vk::Digit(7), 3, 500), At("lgb", Esc, 4, 500)),
       "psao lgb lta lgb lgb lgb end", 3},
      {"Ctrl alone and Shift alone only silence; both held with a key act as the key", fMain::kStartGame,
       Keys(At("lgb", vk::Down, 1, 50, Ctrl), At("psao", vk::Control, 1, 2000, Ctrl), At("psao", vk::Letter('A'), 1, 2100, Shift),
            At("psao", vk::Down, 1, 2200, Shift | Ctrl), At("psao", Esc, 1, 2300)),
       "psao lgb create end", 2 /* lgb by Ctrl+Down, create by Escape */},
      {"the handicap toggles; between its two clips the menu is busy: Down neither cuts nor moves", fMain::kHandicap,
       Keys(At("off", vk::Enter), At("uh", vk::Down, 2, 50), At("on", vk::Enter), At("off", Esc, 2)),
       "psao uh off uh on uh off end", 0},
      {"the speaker test is heard on reaching it; Enter and Space do nothing there", fMain::kOptions,
       Keys(At("options", vk::Up), At("spkrtest", vk::Enter), At("spkrtest", vk::Space), At("psao", Esc, 1, 5000)),
       "psao options spkrtest end", 0},
      {"Enter and Space start their items; back, the prompt and the item they were left on", fMain::kStartGame,
       Keys(At("lgb", vk::Enter), At("lgb", vk::Down, 2), At("create", vk::Down), At("vps", vk::Space), At("vps", Esc, 2)),
       "psao lgb selplyrs psao lgb create vps vpsmenu psao vps end", 0, 30},
      {"a key during the prompt says its item once", fMain::kStartGame,
       Keys(At("psao", vk::Down, 1, 100), At("create", Esc)), "psao create end", 1},
      {"F12 tells the time, not the item, and the menu listens again", fMain::kStartGame,
       Keys(At("lgb", vk::F12), At("psao", vk::Down, 1, 8000), At("create", Esc)), "psao lgb #2 #20 create end", 0, 12},
  };
  // clang-format on
  for (const Case& t : cases) {
    SCOPED_TRACE(t.name);
    testing::AppWorld w;
    w.sim.world.SetLocalTime({2026, 12, 6, 14, 20, 0});
    for (int i = 0; i < 4; ++i) w.sim.random.Push(0.5);  // numbers in the plain voice
    w.Script(t.keys);
    w.sim.platform.Trace.Clear();
    w.app->MainMenu().Item = static_cast<std::int16_t>(t.item);
    w.RunMainMenu();
    EXPECT_EQ(w.Heard(), Said(t.heard));
    int stops = 0, pauses = 0;
    const auto& events = w.sim.platform.Trace.Events();
    for (const TraceEvent& e : events) {
      stops += e.Kind == "stop" && e.Fields[0] == "SpeechBuffer" ? 1 : 0;
      pauses += e.Kind == "play" && e.Fields[1].ends_with("silence.wav") ? 1 : 0;
    }
    EXPECT_EQ(std::pair(stops, pauses), std::pair(t.stops, t.pauses));
    EXPECT_EQ(w.app->MainMenu().Item, fMain::kQuit);
    // Stopping the music ends its ducking too.
    EXPECT_FALSE(w.app->Session().UseHandicap || w.app->Engine().MusicDucked);
    // The music stops, then the goodbye, over which nothing may speak.
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.end()[-2].Kind + " " + events.end()[-2].Fields[0], "stop BackgroundBuffer");
    EXPECT_TRUE(events.back().Kind == "play" && events.back().Fields[1].ends_with("/end.wav"));
    EXPECT_TRUE(w.app->Engine().Busy);
  }
}

// One application per test, numbers in the plain voice, and thirty recorded first names
// offered in reverse: list position j speaks fn(30 - j).
class Menus : public ::testing::Test {
 protected:
  Menus() {
    for (int i = 0; i < 400; ++i) w.sim.random.Push(0.5);
    KeepNames(30);
    std::ofstream dat(w.tree.F.NamesDatFile, std::ios::trunc);
    for (int n = 30; n >= 1; --n) dat << n << "\r\n";
  }
  void KeepNames(int count) {
    for (int n = count + 1; n <= 200; ++n)
      fs::remove(w.tree.F.NamesFolder / ("fn" + std::to_string(n) + ".wav"));
    w.app->Players().CatalogueFirstNames();
  }
  // Creates a bowler with the keys; finished, the initial A as first name and as last, male,
  // left-handed.
  void Create(std::vector<KeyAt> keys, bool finished = false) {
    if (finished)
      keys.insert(keys.end(),
                  {At("uai", vk::Enter, keys.empty() ? 1 : 2), At("a", vk::Enter),
                   At("a", vk::Enter, 2), At("male", vk::Enter), At("lefty", vk::Enter)});
    w.Script(keys);
    w.app->CreatePlayer();
  }
  void Reset(int bowlers) {
    fs::remove(w.tree.F.PlayersFile);
    w.app->Players().LoadRoster();
    w.AddBowlers(bowlers);
    w.sim.platform.Trace.Clear();
  }
  void View(const std::vector<KeyAt>& keys) {
    w.Script(keys);
    w.app->ShowViewPlayers();
  }
  testing::AppWorld w;
};
using OptionMenus = Menus;
using RosterMenus = Menus;
using Wizard = Menus;

TEST_F(OptionMenus, PlayMethodAndSkill) {
  GameSession& s = w.app->Session();
  // A key during the prompt: the item it spoke, or the closed menu's silence, is all that follows.
  // A stored value that is no item reads as the first; Ctrl alone only silences, with Alt not.
  // clang-format off
  struct Row { bool skill; const char *name, *stored; std::vector<KeyAt> keys; const char *heard, *storedAfter;
               bool accepted; int choice; };
  const Row rows[] = {
      {false, "first run: first item; Escape stores nothing", nullptr, Keys(At("pm1", vk::Escape)), "psapm pm1", "none", false, 1},
      {false, "starts on the stored item; Down on the last wraps; Enter stores", "1",
       Keys(At("pm2", vk::Down), At("pm1", vk::Down), At("pm2", vk::Enter, 2)), "psapm pm2 pm1 pm2", "1", true, 2},
      {false, "Escape during the prompt: nothing more", "1", Keys(At("psapm", vk::Escape, 1, 100)), "psapm", "1", false, 1},
      {false, "Down during the prompt: the new item once", "1",
       Keys(At("psapm", vk::Down, 1, 100), At("pm1", vk::Enter)), "psapm pm1", "0", true, 1},
      {false, "no item stored; Ctrl, Ctrl with Alt", "x1", Keys(At("pm1", vk::Down, 1, 50, mod::Ctrl),
       At("pm1", vk::Down, 1, 450, mod::Ctrl | mod::Alt), At("pm2", vk::Enter)), "psapm pm1 pm2", "1", true, 2},
      {true, "first run: first item with its description; Up wraps", nullptr,
       Keys(At("ld1", vk::Up), At("ld5", vk::Enter)), "pssl l1 ld1 l5 ld5", "4", true, 5},
      {true, "Down while a level is named skips its description, Down cuts a description, Ctrl alone silences the "
       "rest of an item", "1", Keys(At("l2", vk::Down, 1, 100), At("ld3", vk::Down, 1, 100),
       At("l4", vk::Control, 1, 100, mod::Ctrl), At("l4", vk::Escape)), "pssl l2 l3 ld3 l4", "1", false, 1},
      {true, "Escape during the prompt: no level, no description", "2", Keys(At("pssl", vk::Escape, 1, 100)), "pssl", "2", false, 1},
      {true, "a letter repeats the item, its description only once", "7",
       Keys(At("l1", vk::Letter('Q'), 1, 100), At("ld1", vk::Enter)), "pssl l1 l1 ld1", "0", true, 1},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    w.sim.platform.Trace.Clear();
    s = GameSession{};
    const char* key = r.skill ? "Skill" : "Play";
    if (r.stored != nullptr) w.sim.settings.SaveSetting("KORVELDA", "Menu", key, r.stored);
    w.Script(r.keys);
    StoredChoiceMenu& menu =
        r.skill ? static_cast<StoredChoiceMenu&>(w.app->SelSkill()) : w.app->SelPlayMethod();
    menu.Show(ShowMode::Modal);
    EXPECT_EQ(w.Heard(), Said(r.heard));
    EXPECT_EQ(w.sim.settings.GetSetting("KORVELDA", "Menu", key, "none"), r.storedAfter);
    EXPECT_EQ(s.MenuAccepted, r.accepted);
    EXPECT_EQ(r.skill ? s.SkillLevel : s.PlayMethod, r.choice);
    EXPECT_EQ(w.sim.world.PendingKeys(), 0U);
  }
}

TEST_F(RosterMenus, ArrowsPageKeysHomeEndAndDigitsAndAKeyDuringAnEntry) {
  Reset(23);  // bowlers 1, 16, 20, 21 and 23 are A, P, T, U and W
  View(Keys(At("initials/a", vk::Up), At("initials/w", vk::Down), At("initials/a", vk::Digit(2), 2),
            At("initials/t", vk::Digit(3)), At("initials/t", vk::Down, 2),
            At("initials/u", vk::PageUp), At("initials/p", vk::PageDown),
            At("initials/u", vk::PageDown, 2), At("initials/a", vk::End, 3),
            At("initials/w", vk::Digit(0), 2), At("initials/a", vk::PageUp, 4),
            At("initials/w", vk::Home, 3), At("initials/a", vk::Space, 5),
            At("initials/a", vk::Letter('X'), 5, 500), At("initials/a", vk::Escape, 5, 600)));
  std::string initials;  // the bowlers heard, by their last initials
  for (const std::string& clip : w.Heard())
    if (clip.starts_with("initials/")) initials += clip[9];
  EXPECT_EQ(initials, "AWATTUPUAWAWA");  // Space and X say nothing here
  EXPECT_EQ(w.Heard().front(), "vpsmenu.wav");
  // A key during an entry skips the names not yet begun and only silences.
  Reset(3);
  View(Keys(At("numbers/1", vk::Control, 1, 100, mod::Ctrl),
            At("numbers/1", vk::Down, 1, 150, mod::Shift | mod::Ctrl),  // not alone: ignored
            At("numbers/1", vk::Down, 1, 600), At("names/fn2", vk::Down, 1, 50),  // busy: ignored
            At("names/fn2", vk::Shift, 1, 100, mod::Shift), At("names/fn2", vk::Escape, 1, 600)));
  EXPECT_EQ(w.Heard(), Said("vpsmenu #1 #2 names/fn2"));
  EXPECT_EQ(w.Count("stop"), 2);
}

TEST_F(RosterMenus, DeletingAfterTheYesNoQuestion) {
  // With `interrupt`, another window comes and goes while the question is open.
  bool interrupt = false;
  Form other(w.sim.platform.Windows, "Other");
  Timer poll(w.sim.platform.Windows);
  poll.OnTimer = [&] {
    if (interrupt && w.app->ViewPlayers().ConfirmPending)
      other.Show(), other.Hide(), interrupt = false;
  };
  poll.SetInterval(100);
  poll.SetEnabled(true);
  // What was heard from the question on, and the bowlers left, by their last initials.
  const auto check = [this](const char* name, int bowlers, const std::vector<KeyAt>& keys,
                            const char* heardFromQuestion, const std::string& left) {
    SCOPED_TRACE(name);
    Reset(bowlers);
    View(keys);
    w.sim.platform.Windows.DoPendingEvents();  // the main menu takes the focus back
    EXPECT_EQ(w.HeardFrom("delete.wav"), Said(heardFromQuestion));
    std::string initials;
    for (int i = 1; i <= w.app->Players().PlayerCount(); ++i)
      initials += w.app->Players().Players(i).LastName()[0];
    EXPECT_EQ(initials, left);
    EXPECT_EQ(fs::file_size(w.tree.F.PlayersFile), (bowlers - 1) * kRecordLength);
  };
  check("the last: the list goes back to the first", 3,
        Keys(At("initials/a", vk::End), At("initials/c", vk::Delete), At("yesno", vk::Letter('Y')),
             At("initials/a", vk::Escape, 2)),
        "delete #3 names/fn3 initials/C yesno #1 names/fn1 initials/A psao lgb", "AB");
  check("a middle one: N keeps it, other keys do not move the question, Y while it is asked", 3,
        Keys(At("initials/a", vk::Down), At("initials/b", vk::Delete), At("yesno", vk::Down, 1, 50),
             At("yesno", vk::Letter('N'), 1, 200), At("initials/b", vk::Delete, 3),
             At("yesno", vk::Letter('Y'), 2, 100), At("initials/c", vk::Escape)),
        "delete #2 names/fn2 initials/B yesno #2 names/fn2 initials/B delete #2 names/fn2 "
        "initials/B yesno #2 names/fn3 initials/C psao lgb",
        "AC");
  check("the only one: the list closes and the main menu speaks again", 1,
        Keys(At("initials/a", vk::Delete), At("yesno", vk::Letter('Y'))),
        "delete #1 names/fn1 initials/A yesno psao lgb", "");
  interrupt = true;
  check("back from another window the question is asked again, not lost with the list restarted", 2,
        Keys(At("initials/a", vk::Delete), At("yesno", vk::Letter('Y'), 2),
             At("initials/b", vk::Escape)),
        "delete #1 names/fn1 initials/A yesno delete #1 names/fn1 initials/A yesno #1 names/fn2 "
        "initials/B psao lgb",
        "B");
}

TEST_F(RosterMenus, StatisticsSkipEmptyAveragesForwardAndTheListStartsOverAfterThem) {
  Reset(2);
  w.app->Players().Players(1).AddScore(1, 7, 0);
  w.app->Players().Players(1).GameOver(2, 3);  // one game, with play method 2 at skill 3
  // Enter is no choice here: it cuts the statistic and says it again. Escape during the
  // prompt closes the statistics before they say anything.
  View(Keys(At("initials/a", vk::Enter), At("initials/a", vk::Down, 2),
            At("righty", vk::Enter, 1, 100), At("righty", vk::Down, 2), At("pm1", vk::Down),
            At("pm2", vk::Up) /* item 7 is empty: back on item 8 */, At("pm2", vk::Down, 2),
            At("numbers/7", vk::Escape), At("initials/a", vk::Enter, 3),
            At("stats", vk::Escape, 2, 100), At("initials/a", vk::Escape, 4)));
  EXPECT_EQ(w.Heard(), Said("vpsmenu #1 names/fn1 initials/A stats #1 names/fn1 initials/A "
                            "righty righty pm1 pm2 pm2 l3 avgof #7 vpsmenu #1 names/fn1 "
                            "initials/A stats vpsmenu #1 names/fn1 initials/A"));
  EXPECT_EQ(w.Count("stop"), 2);
  EXPECT_EQ(w.app->Players().CurrentPlayer(), 0);
}

TEST_F(RosterMenus, TodaysBowlersAreToggledAndConfirmedOnlyWithSomeoneIn) {
  const auto check = [this](const char* name, int bowlers, const std::vector<KeyAt>& keys,
                            const char* heard, bool accepted) {
    SCOPED_TRACE(name);
    Reset(bowlers);
    w.Script(keys);
    EXPECT_EQ(w.app->ChooseTodaysPlayers(), accepted);
    EXPECT_EQ(w.Heard(), Said(heard));
  };
  check("an empty roster: the prompt, and back", 0, {}, "selplyrs", false);
  check("Enter with nobody in does nothing; Space toggles with a chime", 2,
        Keys(At("initials/a", vk::Enter), At("initials/a", vk::Space, 1, 600),
             At("active", vk::Down), At("initials/b", vk::Up), At("active", vk::Enter, 2)),
        "selplyrs #1 names/fn1 initials/A active #2 names/fn2 initials/B #1 names/fn1 initials/A "
        "active selplay names/fn1 initials/A",
        true);
  check("Escape backs out", 2, Keys(At("initials/a", vk::Escape)),
        "selplyrs #1 names/fn1 initials/A", false);
  EXPECT_EQ(w.app->Players().CountActivePlayers(), 0);  // a new showing starts with nobody in
}

// Only a plain file name becomes a clip: a hostile one, as a damaged roster may hold, is buzzed and
// nothing outside the names folder is opened.
TEST_F(RosterMenus, AHostileNameAndAMissingNumberAreBuzzedAndTheListStillListens) {
  for (const char* plain : {"fn12.wav", "K.wav", "a-b_c.wav"}) EXPECT_TRUE(IsPlainClipName(plain));
  for (const char* hostile :
       {"", ".", "..", "../x.wav", "a/b.wav", "a\\b.wav", "fn1..wav", "\xc3\xa9.wav"})
    EXPECT_FALSE(IsPlainClipName(hostile)) << hostile;
  Reset(2);
  w.app->Players().Players(1).SetFirstName("../../x.wav");
  fs::remove(w.tree.F.NumbersFolder / "1.wav");
  View(Keys(At("initials/a", vk::Down), At("initials/b", vk::Escape)));
  EXPECT_EQ(w.Heard(), Said("vpsmenu play/buzzer play/buzzer initials/A #2 names/fn2 initials/B"));
  EXPECT_EQ(w.Count("error"), 2);
  for (const TraceEvent& e : w.sim.platform.Trace.Events())
    for (const std::string& f : e.Fields) EXPECT_EQ(f.find("x.wav"), std::string::npos) << f;
}

constexpr const char* kFinishedWithInitials =
    "wyfn uai initials/A wyln initials/A hello initials/A initials/A morf male sybh lefty";

std::string Kept(const Player& p) {
  return p.FirstName() + " " + p.LastName() + (p.Female() ? " female" : "") +
         (p.Lefthanded() ? " lefty" : "") + (p.IsActive() ? " active" : "");
}

// One bowler after another, behind two already there: each heard, then stored at the next
// index, not among today's bowlers, and all of them still there after a restart.
TEST_F(Wizard, AnswersHeardAndStored) {
  w.AddBowlers(2);
  // clang-format off
  struct Row { const char* name; std::vector<KeyAt> keys; const char *heard, *kept; };
  const Row rows[] = {
      {"an initial (Up wraps from A to Z), then past Escape and Ctrl on the last initial",
       Keys(At("uai", vk::Enter), At("a", vk::Up), At("z", vk::Enter), At("a", vk::Escape, 2), At("a", vk::Down, 2, 600, mod::Ctrl),
            At("a", vk::Down, 2, 800), At("b", vk::Enter), At("male", vk::Down), At("female", vk::Enter), At("lefty", vk::Enter)),
       "wyfn uai initials/A initials/Z wyln initials/A initials/B hello initials/Z initials/B morf male female sybh lefty",
       "Z.wav B.wav female lefty"},
      {"list name, Page keys wrapping both ways",
       Keys(At("uai", vk::Down), At("uafn", vk::Enter), At("fn30", vk::PageUp), At("fn1", vk::PageDown), At("fn30", vk::PageDown, 2),
            At("fn20", vk::Enter), At("a", vk::Enter), At("male", vk::Enter), At("lefty", vk::Down), At("righty", vk::Enter)),
       "wyfn uai uafn names/fn30 names/fn1 names/fn30 names/fn20 wyln initials/A hello names/fn20 initials/A morf male sybh "
       "lefty righty", "fn20.wav A.wav"},
      {"Escape leaves each sub-list and repeats the item in the questions",
       Keys(At("uai", vk::Escape), At("uai", vk::Enter, 2), At("a", vk::Escape), At("uai", vk::Down, 3), At("uafn", vk::Enter),
            At("fn30", vk::Escape), At("uai", vk::Enter, 4), At("a", vk::Enter, 2), At("a", vk::Enter, 3), At("male", vk::Escape),
            At("male", vk::Enter, 2), At("lefty", vk::Escape), At("lefty", vk::Enter, 2)),
       "wyfn uai uai initials/A wyfn uai uafn names/fn30 wyfn uai initials/A wyln initials/A hello initials/A initials/A morf "
       "male male sybh lefty lefty", "A.wav A.wav lefty"},
      {"a key during a question moves on from it: the new answer said once",
       Keys(At("wyfn", vk::Down, 1, 100), At("uafn", vk::Up), At("uai", vk::Enter), At("a", vk::Enter), At("wyln", vk::Down, 1, 100),
            At("b", vk::Enter), At("morf", vk::Down, 1, 100), At("female", vk::Enter), At("sybh", vk::Down, 1, 100),
            At("righty", vk::Enter)),
       "wyfn uafn uai initials/A wyln initials/B hello initials/A initials/B morf female sybh righty", "A.wav B.wav female"},
  };
  // clang-format on
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    w.sim.platform.Trace.Clear();
    Create(rows[i].keys);
    EXPECT_EQ(w.Heard(), Said(rows[i].heard));
    ASSERT_EQ(w.app->Players().PlayerCount(), i + 3);
    EXPECT_EQ(Kept(w.app->Players().Players(static_cast<int>(i) + 3)), rows[i].kept);
    EXPECT_EQ(w.sim.world.PendingKeys(), 0U);  // a fault would have been heard as the buzzer
  }
  w.sim.platform.Windows.DoPendingEvents();  // the main menu comes back and speaks
  EXPECT_EQ(w.HeardFrom("psao.wav"), Said("psao lgb"));
  w.Start();
  w.sim.platform.Trace.Clear();
  ASSERT_EQ(w.app->Players().PlayerCount(), 6);
  EXPECT_EQ(w.app->Players().Players(2).FirstName(), "fn2.wav");
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(Kept(w.app->Players().Players(static_cast<int>(i) + 3)), rows[i].kept);
  w.app->Names().SpeakPlayerName(3);  // an initial as first name is taken from the initials
  EXPECT_EQ(w.Heard(), Said("initials/Z initials/B"));
}

TEST_F(Wizard, AnUnsavedBowlerAndAFullRosterLeaveTheRosterAsItWas) {
  fs::remove(w.tree.F.PlayersFile);
  fs::create_directory(w.tree.F.PlayersFile);  // the record cannot be written
  Create({}, true);
  EXPECT_EQ(w.Heard().back(), "play/buzzer.wav");
  EXPECT_EQ(w.Count("error"), 1);
  EXPECT_EQ(w.app->Players().PlayerCount(), 0);
  EXPECT_EQ(w.app->Players().PlayerAt(1), nullptr);  // the next bowler goes into this slot
  fs::remove(w.tree.F.PlayersFile);
  w.AddBowlers(100);
  const auto size = fs::file_size(w.tree.F.PlayersFile);
  w.Script(Keys(At("lgb", vk::Down), At("create", vk::Enter), At("full", vk::Escape)));
  w.RunMainMenu();
  EXPECT_EQ(w.HeardFrom("psao.wav"), Said("psao lgb create full end"));
  EXPECT_EQ(w.app->Players().PlayerCount(), 100);
  EXPECT_EQ(fs::file_size(w.tree.F.PlayersFile), size);
}

TEST_F(Wizard, ABrokenOrEmptyNamesListBuzzesAndAsksAgain) {
  // Not a number; numbers with spaces, a carriage return or a plus; an endless line (no number,
  // and no memory spent on it); none, past the catalogue, negative, blank. An empty item chosen
  // leaves the first name unanswered.
  std::ofstream(w.tree.F.NamesDatFile, std::ios::trunc)
      << "abc\n 2 \r\n+3\n"
      << std::string(1 << 20, '1') << "\n0\n99\n-1\n \n";
  std::vector<KeyAt> keys =
      Keys(At("uai", vk::Down), At("uafn", vk::Enter), At("buzzer", vk::Down), At("fn2", vk::Down),
           At("fn3", vk::Down), At("buzzer", vk::Enter, 6));
  for (int n = 2; n <= 5; ++n) keys.push_back(At("buzzer", vk::Down, n));
  Create(keys, true);
  EXPECT_EQ(w.HeardFrom("uafn.wav"),
            Said(std::string("uafn play/buzzer names/fn2 names/fn3 play/buzzer play/buzzer "
                             "play/buzzer play/buzzer play/buzzer ") +
                 kFinishedWithInitials));
  KeepNames(0);  // no recorded name at all
  w.sim.platform.Trace.Clear();
  Create(Keys(At("uai", vk::Down), At("uafn", vk::Enter)), true);
  EXPECT_EQ(w.HeardFrom("uafn.wav"),
            Said(std::string("uafn play/buzzer ") + kFinishedWithInitials));
  EXPECT_EQ(w.Count("error"), 1);
  EXPECT_EQ(Kept(w.app->Players().Players(2)), "A.wav A.wav lefty");
}

}  // namespace
}  // namespace strikora
