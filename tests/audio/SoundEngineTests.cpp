#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "tests/audio/EngineWorld.h"

namespace strikora {
namespace {

using testing::EngineWorld;
using testing::WriteWav;
using Strings = std::vector<std::string>;

// A window whose key handler the test writes.
class KeyForm final : public Form {
 public:
  KeyForm(WindowSystem& windows, std::function<void(int)> onKey)
      : Form(windows, "Lane"), onKey_(std::move(onKey)) {}
  void Form_KeyDown(int KeyCode, int /*Shift*/) override { onKey_(KeyCode); }

 private:
  std::function<void(int)> onKey_;
};

// The draw that makes Between1And(n) come out as k.
double Pick(int k, int n) {
  return (k - 0.5) / n;
}

TEST(SoundEngineWaits, ReturnWhenTheClipEndsWhileKeysAreServed) {
  EngineWorld w;
  std::vector<std::int64_t> keysAt;
  KeyForm form(w.sim.platform.Windows, [&](int) { keysAt.push_back(w.Now()); });
  form.Show();
  w.world.PressKeyAt(150, vk::Space);
  w.world.PressKeyAt(450, vk::Space);

  w.engine.PlayAndWait(w.F.MenuFolder / "active.wav");  // 400 ms on the virtual clock

  EXPECT_FALSE(w.engine.SpeechBuffer.IsPlaying());
  EXPECT_EQ(w.Now(), 400);
  EXPECT_EQ(keysAt, std::vector<std::int64_t>{150});
  EXPECT_EQ(w.world.PendingKeys(), 1u);

  w.engine.PlayAnnouncerAndWait("\\intro1a.wav");
  EXPECT_EQ(w.Now(), 800);
  EXPECT_EQ(w.Plays(), (Strings{"SpeechBuffer active.wav", "AnnouncerBuffer intro1a.wav"}));
  // Nothing to wait for on a slot that never held a clip.
  w.engine.WaitFor(w.engine.BallBuffer);
  EXPECT_EQ(w.Now(), 800);
}

TEST(SoundEngineWaits, StopSpeechFromAKeyEndsTheWaitAndTheSequenceGoesOn) {
  EngineWorld w;
  KeyForm form(w.sim.platform.Windows, [&](int key) {
    if (key == vk::Control) w.engine.StopSpeech();
  });
  form.Show();
  w.world.PressKeyWhenClipStarts("psao.wav", vk::Control, 2, 100);
  w.world.PressKeyWhenClipStarts("intro1b.wav", vk::Control, 2, 50);

  w.engine.PlayAndWait(w.F.MenuFolder / "psao.wav");
  EXPECT_EQ(w.Now(), 100);
  w.engine.PlayAndWait(w.F.MenuFolder / "lgb.wav");
  EXPECT_EQ(w.Now(), 500);
  w.engine.PlayAnnouncerAndWait("\\intro1b.wav");
  EXPECT_EQ(w.Now(), 550);

  EXPECT_EQ(w.Plays(), (Strings{"SpeechBuffer psao.wav", "SpeechBuffer lgb.wav",
                                "AnnouncerBuffer intro1b.wav"}));
  const auto stops = w.EventsOf("stop");
  ASSERT_EQ(stops.size(), 2u);
  EXPECT_EQ(stops[0].Fields[0], "SpeechBuffer");
  EXPECT_EQ(stops[1].Fields[0], "AnnouncerBuffer");
}

TEST(SoundEngineWaits, AClipStartedFromAHandlerKeepsTheOuterWaitGoing) {
  EngineWorld w;
  const auto longClip = w.dir.Path() / "long.wav";
  WriteWav(longClip, 1000);
  KeyForm form(w.sim.platform.Windows, [&](int key) {
    if (key == vk::Enter) {
      w.engine.PlayAndWait(w.F.MenuFolder / "lgb.wav");
    } else {
      // The way the lane starts a clip on the speech slot without waiting for it.
      w.engine.Load(w.engine.SpeechBuffer, longClip)->Play(PlayMode::Once);
    }
  });
  form.Show();

  // A nested wait: 100 ms into the prompt, a 400 ms clip replaces it.
  w.world.PressKeyWhenClipStarts("psao.wav", vk::Enter, 0, 100);
  w.engine.PlayAndWait(w.F.MenuFolder / "psao.wav");
  EXPECT_EQ(w.Now(), 500);

  // No nested wait: the outer one goes on until the replacing clip ends.
  w.world.PressKeyWhenClipStarts("vps.wav", vk::Space, 0, 100);
  w.engine.PlayAndWait(w.F.MenuFolder / "vps.wav");
  EXPECT_EQ(w.Now(), 500 + 100 + 1000);
  EXPECT_FALSE(w.engine.SpeechBuffer.IsPlaying());

  EXPECT_EQ(w.Plays(), (Strings{"SpeechBuffer psao.wav", "SpeechBuffer lgb.wav",
                                "SpeechBuffer vps.wav", "SpeechBuffer long.wav"}));
}

TEST(SoundEngineMusic, DuckAndRestoreInAnyOrderNeverDriftTheLevel) {
  EngineWorld w;
  SoundEngine& e = w.engine;

  // Nothing in the background slot: nothing to lower, and the flag stays down.
  e.DuckMusic();
  EXPECT_FALSE(e.MusicDucked);
  e.RestoreMusic();
  EXPECT_FALSE(e.MusicDucked);

  e.StartMenuMusic();
  SoundBuffer& menu = *e.BackgroundBuffer.Buffer;
  EXPECT_EQ(menu.GetVolume(), -500);
  e.RestoreMusic();  // nothing ducked
  EXPECT_EQ(menu.GetVolume(), -500);
  e.DuckMusic();
  e.DuckMusic();
  EXPECT_EQ(menu.GetVolume(), -1500);
  EXPECT_TRUE(e.MusicDucked);
  e.RestoreMusic();
  EXPECT_EQ(menu.GetVolume(), -500);
  EXPECT_FALSE(e.MusicDucked);
  e.RestoreMusic();
  EXPECT_EQ(menu.GetVolume(), -500);

  // The limits themselves are reached: -4000 ducks to exactly -5000, -1000 comes back to 0.
  for (const int level : {-4000, 0}) {
    menu.SetVolume(level);
    e.DuckMusic();
    EXPECT_EQ(menu.GetVolume(), level - 1000);
    EXPECT_TRUE(e.MusicDucked);
    e.RestoreMusic();
    EXPECT_EQ(menu.GetVolume(), level);
    EXPECT_FALSE(e.MusicDucked);
  }

  // Ducking further would take the music below -5000: left alone, and not marked as ducked.
  menu.SetVolume(-4500);
  e.DuckMusic();
  EXPECT_EQ(menu.GetVolume(), -4500);
  EXPECT_FALSE(e.MusicDucked);
  e.RestoreMusic();
  EXPECT_EQ(menu.GetVolume(), -4500);

  // Raising it above full level is refused.
  menu.SetVolume(-500);
  e.DuckMusic();
  menu.SetVolume(-200);
  e.RestoreMusic();
  EXPECT_EQ(menu.GetVolume(), -200);
  EXPECT_TRUE(e.MusicDucked);

  // Starting or stopping the background starts afresh: the new music ducks again.
  for (const auto& fresh :
       {+[](SoundEngine& s) { s.StartMenuMusic(); }, +[](SoundEngine& s) { s.StopBackground(); }}) {
    e.StartMenuMusic();
    e.DuckMusic();
    fresh(e);
    EXPECT_FALSE(e.MusicDucked);
    e.StartMenuMusic();
    e.DuckMusic();
    EXPECT_EQ(e.BackgroundBuffer.Buffer->GetVolume(), -1500);
  }
}

TEST(SoundEngineClock, SpeakTimeSaysTheHourOnTheTwelveHourDialThenTheMinutes) {
  struct Case {
    int hour, minute;
    Strings heard;
  };
  const std::vector<Case> cases = {
      {0, 0, {"NumberBuffer 12.wav", "SpeechBuffer silence.wav", "SpeechBuffer silence.wav"}},
      {13,
       5,
       {"NumberBuffer 1.wav", "SpeechBuffer silence.wav", "SpeechBuffer silence.wav",
        "NumberBuffer 5.wav"}},
      {12,
       30,
       {"NumberBuffer 12.wav", "SpeechBuffer silence.wav", "SpeechBuffer silence.wav",
        "NumberBuffer 30.wav"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.hour) + ":" + std::to_string(c.minute));
    EngineWorld w;
    w.world.SetLocalTime({2026, 12, 6, c.hour, c.minute, 0});
    w.Push({0.5, 0.5});  // the plain voice for both numbers
    w.engine.StartMenuMusic();
    bool busyWhileSpeaking = false;
    bool duckedWhileSpeaking = false;
    KeyForm form(w.sim.platform.Windows, [&](int) {
      busyWhileSpeaking = w.engine.Busy;
      duckedWhileSpeaking = w.engine.BackgroundBuffer.Buffer->GetVolume() == -1500;
    });
    form.Show();
    w.world.PressKeyWhenClipStarts("silence.wav", vk::Shift, 1, 10);
    w.sim.platform.Trace.Clear();

    w.engine.SpeakTime();

    EXPECT_EQ(w.Plays(), c.heard);
    EXPECT_TRUE(busyWhileSpeaking);
    EXPECT_TRUE(duckedWhileSpeaking);
    EXPECT_FALSE(w.engine.Busy);
    EXPECT_FALSE(w.engine.MusicDucked);
    EXPECT_EQ(w.engine.BackgroundBuffer.Buffer->GetVolume(), -500);
  }
}

TEST(SoundEngineClock, AMissingNumberClipStillLeavesTheMenusListeningAndTheMusicUp) {
  EngineWorld w;
  std::filesystem::remove(w.F.NumbersFolder / "12.wav");
  w.world.SetLocalTime({2026, 12, 6, 0, 0, 0});
  w.Push({0.5});
  w.engine.StartMenuMusic();

  EXPECT_THROW(w.engine.SpeakTime(), PlatformError);

  EXPECT_FALSE(w.engine.Busy);
  EXPECT_FALSE(w.engine.MusicDucked);
  EXPECT_EQ(w.engine.BackgroundBuffer.Buffer->GetVolume(), -500);
  EXPECT_TRUE(w.PlaysOn("SpeechBuffer").empty());  // no pause after a number never spoken
}

TEST(SoundEngineAlley, AmbientClipsNeverRepeatTheLastThree) {
  EngineWorld w;
  w.engine.LoadAmbientSounds();
  Timer tmrAmbient(w.sim.platform.Windows, "tmrAmbient(0)");
  tmrAmbient.SetInterval(5000);
  tmrAmbient.SetEnabled(true);

  // Scripted: 3, 5, 7, then 3, 5 and 7 are drawn and refused until 9 comes up; after that 3 is
  // free again but 9 and 5 are not.
  const auto tick = [&](std::initializer_list<int> ks) {
    for (const int k : ks) w.random.Push(Pick(k, 15));
    w.Push({0.5, 0.5, 0.5});  // pan, dip, interval
    w.engine.PlayRandomAmbient(0, tmrAmbient);
  };
  tick({3});
  tick({5});
  tick({7});
  tick({3, 5, 7, 9});
  tick({9, 5, 3});
  EXPECT_EQ(w.random.Remaining(), 0u);
  EXPECT_EQ(w.PlaysOn("AmbientBuffers[3]").size(), 2u);
  EXPECT_EQ(w.Plays(), (Strings{"AmbientBuffers[3] amb3.wav", "AmbientBuffers[5] amb5.wav",
                                "AmbientBuffers[7] amb7.wav", "AmbientBuffers[9] amb9.wav",
                                "AmbientBuffers[3] amb3.wav"}));
  EXPECT_EQ(w.engine.AmbientHistory, (std::array<std::int16_t, 3>{7, 9, 3}));

  // Driven by the timer itself over many ticks, with the generator's own draws.
  std::vector<int> played;
  tmrAmbient.OnTimer = [&] {
    w.engine.PlayRandomAmbient(0, tmrAmbient);
    played.push_back(w.engine.AmbientHistory[2]);
  };
  w.sim.platform.Windows.WaitUntil([&] { return played.size() >= 300; });
  std::set<int> seen;
  for (std::size_t i = 0; i < played.size(); ++i) {
    seen.insert(played[i]);
    for (std::size_t back = 1; back <= 3 && back <= i; ++back) {
      ASSERT_NE(played[i], played[i - back]) << "tick " << i;
    }
  }
  EXPECT_EQ(seen.size(), 15u);
}

TEST(SoundEngineAlley, AmbientClipsTakeTheirLevelPanAndNextInterval) {
  EngineWorld w;
  w.engine.LoadAmbientSounds();
  w.engine.AmbientLevel = 2;
  Timer first(w.sim.platform.Windows, "tmrAmbient(0)");
  Timer second(w.sim.platform.Windows, "tmrAmbient(1)");

  // pan 0 -> far left, dip 0.5 -> -375, interval 0 -> the shortest.
  w.Push({Pick(4, 15), 0.0, 0.5, 0.0});
  w.engine.PlayRandomAmbient(0, first);
  EXPECT_EQ(first.Interval(), 5000);
  w.Push({Pick(6, 15), 0.9999999, 0.0, 0.9999999});
  w.engine.PlayRandomAmbient(0, first);
  EXPECT_EQ(first.Interval(), 14999);
  w.Push({Pick(8, 15), 0.5, 0.9999999, 0.0});
  w.engine.PlayRandomAmbient(1, second);
  EXPECT_EQ(second.Interval(), 20000);
  w.Push({Pick(10, 15), 0.5, 0.5, 0.9999999});
  w.engine.PlayRandomAmbient(1, second);
  EXPECT_EQ(second.Interval(), 29999);

  // Level and pan are set after the clip starts, each on a line of its own.
  Strings lines;
  for (const TraceEvent& e : w.Events()) {
    if (e.Kind == "volume" || e.Kind == "pan")
      lines.push_back(e.Kind + " " + e.Fields[0] + " " + e.Fields[1]);
  }
  EXPECT_EQ(lines, (Strings{"volume AmbientBuffers[4] -875", "pan AmbientBuffers[4] -5000",
                            "volume AmbientBuffers[6] -500", "pan AmbientBuffers[6] 5000",
                            "volume AmbientBuffers[8] -1250", "pan AmbientBuffers[8] 0",
                            "volume AmbientBuffers[10] -875", "pan AmbientBuffers[10] 0"}));

  // A clip that was missing when the alley was loaded is skipped; the timer keeps its interval.
  w.engine.AmbientBuffers[12].Buffer.reset();
  w.Push({Pick(12, 15), 0.5, 0.5, 0.0});
  EXPECT_NO_THROW(w.engine.PlayRandomAmbient(1, second));
  EXPECT_EQ(second.Interval(), 29999);
  EXPECT_TRUE(w.PlaysOn("AmbientBuffers[12]").empty());
}

TEST(SoundEngineAlley, AmbienceFadesInOverSilencesThenTheMusicStarts) {
  for (const int level : {0, 2}) {
    SCOPED_TRACE("ambient level " + std::to_string(level));
    EngineWorld w;
    w.engine.AmbientLevel = static_cast<std::int16_t>(level);
    w.Push({0.9999});  // the fifth music loop
    w.engine.StartAlleyAmbience();

    const auto& ev = w.Events();
    ASSERT_FALSE(ev.empty());
    EXPECT_EQ(
        ev.front().Line().substr(ev.front().Line().find('\t') + 1),
        "play\tBackgroundBuffer\t" + (w.F.AmbientFolder / "alley.wav").string() + "\t-5000\t0\t1");

    // Every step of the fade is a level followed by one silence.
    Strings steps;
    Strings expected;
    for (int v = -5000; v <= -1500 - 250 * level; v += 125) {
      expected.push_back("volume " + std::to_string(v));
      expected.push_back("silence.wav");
    }
    for (std::size_t i = 1; i + 1 < ev.size(); ++i) {
      if (ev[i].Kind == "volume") steps.push_back("volume " + ev[i].Fields[1]);
      if (ev[i].Kind == "play") {
        steps.push_back(std::filesystem::path(ev[i].Fields[1]).filename().string());
      }
    }
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(expected.size(), level == 0 ? 58u : 50u);
    EXPECT_EQ(w.engine.BackgroundBuffer.Buffer->GetVolume(), -1500 - 250 * level);

    EXPECT_EQ(ev.back().Fields, (Strings{"MusicBuffer", (w.F.AmbientFolder / "music5.wav").string(),
                                         std::to_string(-1000 - 250 * level), "-1500", "1"}));
    EXPECT_TRUE(w.engine.BackgroundBuffer.IsPlaying());
  }
}

TEST(SoundEngineAlley, AimTonesMarkEachSkillsLandmarksAndPanAcrossTheLane) {
  struct Case {
    int skill, position;
    const char* heard;  // slot, file, pan
  };
  for (const Case c :
       {Case{1, 10, "AimBuffers[1] aim11.wav 0"}, Case{2, 10, "AimBuffers[0] aim02.wav 0"},
        Case{2, 8, "AimBuffers[1] aim12.wav -1000"}, Case{4, 16, "AimBuffers[1] aim14.wav 3000"},
        Case{4, 14, "AimBuffers[0] aim04.wav 2000"}, Case{5, 4, "AimBuffers[0] aim05.wav -3000"},
        Case{5, 0, "AimBuffers[0] aim05.wav -5000"}}) {
    SCOPED_TRACE(std::to_string(c.skill) + "/" + std::to_string(c.position));
    EngineWorld w;
    w.engine.LoadAimSounds(c.skill);
    w.engine.PlayAimTone(c.position, c.skill);
    const auto plays = w.EventsOf("play");
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].Fields[0] + " " +
                  std::filesystem::path(plays[0].Fields[1]).filename().string() + " " +
                  plays[0].Fields[3],
              c.heard);
    EXPECT_EQ(w.Now(), 400);  // waited for
  }
}

TEST(SoundEngineAlley, CrowdAnswersOppositeTheMusicAndPinsFallAtRandomPans) {
  EngineWorld w;
  w.engine.AmbientLevel = 3;
  w.engine.LoadAmbientSounds();
  w.Push({0.0});  // music1
  w.engine.StartAlleyMusic();

  w.Push({Pick(7, 7)});
  w.engine.PlayRandomOhs();
  w.Push({Pick(10, 10), 0.0});
  w.engine.PlayBowlSound();
  w.Push({Pick(1, 10), 0.9999999});
  w.engine.PlayBowlSound();

  const auto plays = w.EventsOf("play");
  ASSERT_EQ(plays.size(), 4u);
  EXPECT_EQ(plays[1].Fields, (Strings{"OhsBuffers[7]", (w.F.AmbientFolder / "ohs7.wav").string(),
                                      "-750", "3500", "0"}));
  EXPECT_EQ(plays[2].Fields,
            (Strings{"PinBuffer", (w.F.PlayFolder / "pin10.wav").string(), "-2750", "-5000", "0"}));
  EXPECT_EQ(plays[3].Fields,
            (Strings{"PinBuffer", (w.F.PlayFolder / "pin1.wav").string(), "-2750", "5000", "0"}));
}

TEST(SoundEngineFailures, AMissingClipIsHeardAsTheBuzzerAndTheSequenceGoesOn) {
  EngineWorld w;
  const auto missing = w.F.MenuFolder / "nosuch.wav";
  w.engine.PlayAndWait(missing);
  w.engine.PlayAndWait(w.F.MenuFolder / "lgb.wav");

  EXPECT_EQ(w.Plays(), (Strings{"SpeechBuffer buzzer.wav", "SpeechBuffer lgb.wav"}));
  const auto fails = w.EventsOf("fail");
  ASSERT_EQ(fails.size(), 1u);
  EXPECT_EQ(fails[0].Fields, (Strings{"SpeechBuffer", missing.string()}));
  EXPECT_EQ(w.LogHeadings().size(), 1u);
  EXPECT_NE(w.LogHeadings()[0].find("[" + missing.string() + "]"), std::string::npos);

  // The slot keeps the clip it had when a new one cannot be made.
  (void)w.engine.Load(w.engine.BallBuffer, w.F.PlayFolder / "pin3.wav");
  EXPECT_THROW(w.engine.Load(w.engine.BallBuffer, missing), PlatformError);
  ASSERT_NE(w.engine.BallBuffer.Buffer, nullptr);
  EXPECT_EQ(w.engine.BallBuffer.Buffer->Source(), w.F.PlayFolder / "pin3.wav");
}

TEST(SoundEngineFailures, WithoutSilenceEveryPauseIsABuzzer) {
  EngineWorld w;
  w.engine.PlaySilence(0);
  w.engine.PlaySilence(-3);
  EXPECT_TRUE(w.Events().empty());

  std::filesystem::remove(w.F.PackFolder / "silence.wav");
  w.engine.PlaySilence(3);
  EXPECT_EQ(w.PlaysOn("SpeechBuffer"), (Strings(3, "buzzer.wav")));
  EXPECT_EQ(w.EventsOf("fail").size(), 3u);
  const auto headings = w.LogHeadings();
  ASSERT_EQ(headings.size(), 3u);
  for (const std::string& h : headings) {
    EXPECT_NE(h.find("[" + (w.F.PackFolder / "silence.wav").string() + "]"), std::string::npos);
  }
}

TEST(SoundEngineFailures, StopSpeechWithNothingLoadedDoesNothing) {
  EngineWorld w;
  w.engine.StartMenuMusic();
  w.sim.platform.Trace.Clear();
  w.engine.StopSpeech();
  EXPECT_TRUE(w.Events().empty());
  EXPECT_FALSE(std::filesystem::exists(w.log.File()));
  // The background is not speech.
  EXPECT_TRUE(w.engine.BackgroundBuffer.IsPlaying());
}

TEST(SoundEngineStartUp, IntroGreetsByTheHourThenPlaysTheThemeToItsEnd) {
  for (const auto& [hour, greeting] : std::vector<std::pair<int, std::string>>{
           {11, "intro1a.wav"}, {12, "intro1b.wav"}, {17, "intro1b.wav"}, {18, "intro1c.wav"}}) {
    SCOPED_TRACE(hour);
    EngineWorld w;
    w.world.SetLocalTime({2026, 12, 6, hour, 59, 0});
    w.engine.PlayIntro();
    EXPECT_EQ(w.Plays(), (Strings{"AnnouncerBuffer " + greeting}));
    EXPECT_EQ(w.Now(), 400 + 3000);  // the greeting, then the whole three-second theme
  }
}

}  // namespace
}  // namespace strikora

namespace strikora {
namespace {

// Passes everything on to the simulated desktop and notes how long each idle wait said it
// could sleep (none: until an event).
class HintRecorder final : public EventSource {
 public:
  explicit HintRecorder(sim::SimWorld& world) : world_(world) {}
  std::optional<KeyEvent> PollKey() override { return world_.PollKey(); }
  void WaitForEvent(std::optional<std::int64_t> timer, std::optional<std::int64_t> quiet) override {
    Quiet.push_back(quiet ? std::optional(*quiet - world_.MonotonicMs()) : std::nullopt);
    world_.WaitForEvent(timer, quiet);
  }
  void SetTitle(const std::string& title) override { world_.SetTitle(title); }
  void ShowMessageBox(const std::string& t, const std::string& c) override {
    world_.ShowMessageBox(t, c);
  }
  bool IsKeyHeld(HeldKey key) const override { return world_.IsKeyHeld(key); }
  std::vector<std::optional<std::int64_t>> Quiet;

 private:
  sim::SimWorld& world_;
};

TEST(SoundEngineWaits, EachWaitTellsTheDesktopHowLongNothingItWatchesCanChange) {
  testing::TempDir dir;
  const testing::TestSoundTree tree(dir.Path());
  sim::SimWorld world;
  MemorySettings settings;
  ScriptedRandom random;
  HintRecorder hints(world);
  Platform platform(world, hints, world, world, settings, random);
  SoundEngine engine(platform, tree.F);

  engine.PlayAndWait(tree.F.MenuFolder / "lgb.wav");  // a 400 ms clip
  ASSERT_TRUE(engine.Mp3.LoadMP3(tree.F.PackFolder / "logos.mp3"));
  ASSERT_TRUE(engine.Mp3.PlayMP3(false));  // 3 s of music
  bool ticked = false;
  Timer tick(platform.Windows);
  tick.OnTimer = [&] { ticked = true; };
  tick.SetInterval(700);
  tick.SetEnabled(true);
  platform.Windows.WaitUntil([&] { return ticked; }, "a flag");  // only a handler sets it
  EXPECT_EQ(hints.Quiet, (std::vector<std::optional<std::int64_t>>{400, 3000, std::nullopt}));
}

TEST(SoundEngineWaits, ALoopKeepsReadingItsOwnClipWhenAHandlerLoadsIntoItsSlot) {
  EngineWorld w;
  const auto longClip = w.dir.Path() / "roll.wav";
  WriteWav(longClip, 1000);
  const LoadedClip roll = w.engine.Load(w.engine.BallBuffer, longClip);
  roll->Play(PlayMode::Once);
  KeyForm form(w.sim.platform.Windows, [&](int) {
    w.engine.Load(w.engine.BallBuffer, w.F.PlayFolder / "pin3.wav")->Play(PlayMode::Once);
  });
  form.Show();
  w.world.PressKeyAt(w.Now() + 250, vk::Space);
  std::vector<std::int64_t> cursor;
  while (roll->IsPlaying()) {  // as the roll glide does, one silence a step
    cursor.push_back(roll->GetCurrentPosition());
    w.engine.PlaySilence(1);
  }
  ASSERT_EQ(cursor.size(), 10U);
  for (std::size_t i = 1; i < cursor.size(); ++i) EXPECT_GT(cursor[i], cursor[i - 1]);
  EXPECT_EQ(roll->Source(), longClip);
  EXPECT_EQ(w.engine.BallBuffer.Buffer->Source().filename(), "pin3.wav");
}

}  // namespace
}  // namespace strikora
