// The sound engine, number speech and the MP3 music: what the player hears, in what order, when.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <functional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "tests/audio/EngineWorld.h"

namespace strikora {
namespace {

using testing::EngineWorld;
using Strings = std::vector<std::string>;

// The draw that makes Between1And(n) come out as k.
double Pick(int k, int n) {
  return (k - 0.5) / n;
}
std::string Play(const std::string& slot, const std::string& file, int vol = 0, int pan = 0,
                 int loop = 0) {
  return "play " + slot + " " + file + " " + std::to_string(vol) + " " + std::to_string(pan) + " " +
         std::to_string(loop);
}
const std::string kSilence = Play("SpeechBuffer", "silence.wav");

// Keys as these tests use them: Ctrl silences the speech, Enter says a prompt and waits for it,
// Space starts a long clip on the speech slot, Home drops a pin into the ball's, Up speeds the MP3.
struct Lane final : Form {
  explicit Lane(EngineWorld& w) : Form(w.sim.platform.Windows, "Lane"), w_(w) { Show(); }
  void Form_KeyDown(int KeyCode, int /*Shift*/) override {
    SoundEngine& e = w_.engine;
    if (KeyCode == vk::Control) e.StopSpeech();
    if (KeyCode == vk::Enter) e.PlayAndWait(w_.F.MenuFolder / "lgb.wav");
    if (KeyCode == vk::Space) e.Load(e.SpeechBuffer, w_.dir / "long.wav")->Play(PlayMode::Once);
    if (KeyCode == vk::Home)
      e.Load(e.BallBuffer, w_.F.PlayFolder / "pin3.wav")->Play(PlayMode::Once);
    EXPECT_TRUE(KeyCode != vk::Up || e.Mp3.SetPlayBackSpeed(2.25f));
  }
  EngineWorld& w_;
};

// A row: its name, what it does, what is heard and when it ends.
using Row = std::tuple<std::string, std::function<void(EngineWorld&)>, Strings, std::int64_t>;

// The time on the twelve-hour dial under lowered music; minute -1: 12.wav is missing, and the
// failure goes to the caller with the music restored.
std::function<void(EngineWorld&)> TellTime(int hour, int minute) {
  return [=](EngineWorld& w) {
    w.world.SetLocalTime({2026, 12, 6, hour, std::max(minute, 0), 0});
    w.Push({0.5, 0.5});
    w.engine.StartMenuMusic();
    std::set<bool> busy;  // as the menus see it while the time is told
    Timer look(w.sim.platform.Windows);
    look.OnTimer = [&] { busy.insert(w.engine.Busy); };
    look.SetInterval(350);
    look.SetEnabled(true);
    if (minute < 0) {
      std::filesystem::remove(w.F.NumbersFolder / "12.wav");
      EXPECT_THROW(w.engine.SpeakTime(), PlatformError);
    } else {
      w.engine.SpeakTime();
    }
    EXPECT_EQ(busy, minute < 0 ? std::set<bool>{} : std::set<bool>{true});
    EXPECT_FALSE(w.engine.Busy || w.engine.MusicDucked);
  };
}

TEST(SoundEngine, EachSequencePlaysItsClipsAtTheirLevelsAndItsWaitsFollowTheKeys) {
  const std::string menu = Play("BackgroundBuffer", "menu.wav", -500, 0, 1),
                    duck = "volume BackgroundBuffer -1500", up = "volume BackgroundBuffer -500";
  const auto n = [](const char* n) { return Play("NumberBuffer", std::string(n) + ".wav"); };
  const auto s = [](const char* file) { return Play("SpeechBuffer", file); };
  const std::string buzzer = s("buzzer.wav"), stop = "stop SpeechBuffer";
  // clang-format off
  std::vector<Row> rows = {
      {"a missing clip is the buzzer; the next clip plays; without silence.wav a pause buzzes", [](EngineWorld& w) {
         w.engine.PlayAndWait(w.F.MenuFolder / "nosuch.wav");
         w.engine.PlayAndWait(w.F.MenuFolder / "lgb.wav");
         std::filesystem::remove(w.F.PackFolder / "silence.wav");
         w.engine.PlaySilence(2); },
       {"error 53 nosuch.wav", buzzer, s("lgb.wav"), "error 53 silence.wav", buzzer, "error 53 silence.wav", buzzer}, 1600},
      {"a clip that cannot be made leaves the slot's clip playing", [](EngineWorld& w) {
         w.engine.Load(w.engine.BallBuffer, w.F.PlayFolder / "pin3.wav")->Play(PlayMode::Once);
         EXPECT_THROW(w.engine.Load(w.engine.BallBuffer, w.F.PlayFolder / "no.wav"), PlatformError);
         EXPECT_TRUE(w.engine.BallBuffer.IsPlaying());
         w.engine.WaitFor(w.engine.CrowdBuffer);  // an empty slot: nothing to wait for
         w.engine.PlaySilence(0), w.engine.PlaySilence(-3); },
       {Play("BallBuffer", "pin3.wav")}, 0},
      {"the crowd answers opposite the music; pins fall at random pans; Ctrl spares them all", [](EngineWorld& w) {
         w.engine.StartMenuMusic();
         w.engine.AmbientLevel = 3;
         w.engine.LoadAmbientSounds();
         w.Push({0.0, Pick(7, 7), Pick(10, 10), 0.0, Pick(1, 10), 0.9999999});
         w.engine.StartAlleyMusic(), w.engine.PlayRandomOhs();
         w.engine.PlayBowlSound(), w.engine.PlayBowlSound(), w.engine.StopSpeech(); },
       {menu, Play("MusicBuffer", "music1.wav", -1750, -1500, 1), Play("OhsBuffers[7]", "ohs7.wav", -750, 3500),
        Play("PinBuffer", "pin10.wav", -2750, -5000), "stop PinBuffer", Play("PinBuffer", "pin1.wav", -2750, 5000)}, 0},
      {"Ctrl ends each wait early and the sequence goes on", [](EngineWorld& w) {
         w.world.PressKeyWhenClipStarts("psao.wav", vk::Control, 2, 100);
         w.world.PressKeyWhenClipStarts("numbers/40.wav", vk::Control, 2, 50);
         w.engine.PlayAndWait(w.F.MenuFolder / "psao.wav"), w.engine.PlayAndWait(w.F.MenuFolder / "lgb.wav");
         w.Push({0.5}), w.engine.Numbers.SpeakNumber(47); },
       {s("psao.wav"), stop, s("lgb.wav"), n("40"), "stop NumberBuffer", n("7")}, 100 + 400 + 50 + 400},
      {"a prompt said from a key silences the one it replaces, and the wait waits for it; a clip started on the slot "
       "and not waited for keeps the outer wait going", [](EngineWorld& w) {
         w.world.PressKeyWhenClipStarts("psao.wav", vk::Enter, 0, 100);
         w.world.PressKeyWhenClipStarts("intro1b.wav", vk::Space, 0, 100);  // the long clip, on another slot
         w.world.PressKeyWhenClipStarts("vps.wav", vk::Space, 0, 100);
         w.engine.PlayAndWait(w.F.MenuFolder / "psao.wav"), w.engine.PlayAnnouncerAndWait("\\intro1b.wav");
         w.engine.PlayAndWait(w.F.MenuFolder / "vps.wav"); },
       {s("psao.wav"), stop, s("lgb.wav"), Play("AnnouncerBuffer", "intro1b.wav"), s("long.wav"), stop, s("vps.wav"), stop,
        s("long.wav")}, 500 + 400 + 100 + 1000},
      {"a loop on its own clip sees it silenced when its slot is loaded, and ends", [](EngineWorld& w) {
         const LoadedClip roll = w.engine.Load(w.engine.BallBuffer, w.dir / "long.wav");
         roll->Play(PlayMode::Once);
         w.world.PressKeyAt(250, vk::Home);
         while (roll->IsPlaying()) w.engine.PlaySilence(1);  // as the roll's glide does
         EXPECT_EQ(roll->Source().filename(), "long.wav"); },  // still there to read
       {Play("BallBuffer", "long.wav"), kSilence, kSilence, kSilence, "stop BallBuffer", Play("BallBuffer", "pin3.wav")}, 300},
      {"a number beyond six digits is logged and buzzed; a missing snippet ends the number for its caller", [](EngineWorld& w) {
         for (const std::int32_t n : {1000000, -1000000, INT_MAX, INT_MIN}) EXPECT_NO_THROW(w.engine.Numbers.SpeakNumber(n)) << n;
         EXPECT_TRUE(w.engine.Numbers.NumberSuffix().empty());
         std::filesystem::remove(w.F.NumbersFolder / "hundred.wav");
         w.Push({0.5});
         EXPECT_THROW(w.engine.Numbers.SpeakNumber(147), PlatformError); },  // for its caller to log
       {"error 9 SpeakNumber", buzzer, "error 9 SpeakNumber", buzzer, "error 9 SpeakNumber", buzzer, "error 9 SpeakNumber",
        buzzer, n("1")}, 4 * 400 + 400},
      {"the time at midnight", TellTime(0, 0), {menu, duck, n("12"), kSilence, kSilence, up}, 600},
      {"the time at 13:05", TellTime(13, 5), {menu, duck, n("1"), kSilence, kSilence, n("5"), up}, 1000},
      {"the time at 12:30", TellTime(12, 30), {menu, duck, n("12"), kSilence, kSilence, n("30"), up}, 1000},
      {"the time without 12.wav", TellTime(0, -1), {menu, duck, up}, 0},
      {"a missing MP3 plays nothing, unlogged; one plays to its end; reloaded, Up one second in "
       "speeds the rest 2.25 times; a new load stops it and plays at normal speed", [](EngineWorld& w) {
         Mp3Music& mp3 = w.engine.Mp3;
         EXPECT_FALSE(mp3.LoadMP3(w.F.AdvertsFolder / "advert99.mp3") || mp3.PlayMP3(true) || mp3.PlayMP3(false));
         mp3.WaitForMP3();
         EXPECT_TRUE(mp3.SetPlayBackSpeed(2.25f) && !std::filesystem::exists(w.log.File()));
         for (const int ms : {-1, 1000, 0}) {  // the last not waited for
           ASSERT_TRUE(mp3.LoadMP3(w.F.AnnounceFolder / "themesng.mp3"));
           if (ms > 0) w.world.PressKeyAfter(ms, vk::Up);
           ASSERT_TRUE(mp3.PlayMP3(ms == 0));
         }
         ASSERT_TRUE(mp3.LoadMP3(w.F.PackFolder / "logos.mp3"));
         EXPECT_FALSE(w.world.Mp3Running());
         ASSERT_TRUE(mp3.PlayMP3(true));
         mp3.WaitForMP3();
         EXPECT_TRUE(mp3.TerminateEngine() && !w.sim.platform.Music.IsLoaded());
         mp3.WaitForMP3(); }, {}, 3000 + 1000 + 889 + 3000},
  };
  for (const auto& [hour, greeting] : std::vector<std::pair<int, std::string>>{
           {11, "intro1a.wav"}, {12, "intro1b.wav"}, {17, "intro1b.wav"}, {18, "intro1c.wav"}}) {
    rows.push_back({"the greeting at " + std::to_string(hour) + ":59, then the whole theme",
                    [hour](EngineWorld& w) { w.world.SetLocalTime({2026, 12, 6, hour, 59, 0}), w.engine.PlayIntro(); },
                    {Play("AnnouncerBuffer", greeting)}, 400 + 3000});
  }
  for (const int level : {0, 2}) {
    Strings fade = {Play("BackgroundBuffer", "alley.wav", -5000, 0, 1)};
    for (int v = -5000; v <= -1500 - 250 * level; v += 125)
      fade.insert(fade.end(), {"volume BackgroundBuffer " + std::to_string(v), kSilence});
    fade.push_back(Play("MusicBuffer", "music5.wav", -1000 - 250 * level, -1500, 1));
    rows.push_back({"the alley fades in at level " + std::to_string(level), [level](EngineWorld& w) {
                      w.engine.AmbientLevel = static_cast<std::int16_t>(level), w.Push({0.9999}), w.engine.StartAlleyAmbience(); },
                    fade, level == 0 ? 2900 : 2500});
  }
  // clang-format on
  for (const auto& [name, act, heard, ms] : rows) {
    SCOPED_TRACE(name);
    EngineWorld w;
    testing::WriteWav(w.dir / "long.wav", 1000);
    const Lane lane(w);
    act(w);
    EXPECT_EQ(w.Heard(), heard);
    EXPECT_EQ(w.Now(), ms);
  }
}

TEST(SoundEngine, DuckAndRestoreInAnyOrderNeverDriftTheMusic) {
  // From a level (1: no music loaded), ops: d duck, r restore, u someone raises the music to
  // -200, S new menu music, x stop it; then the level and whether it is still ducked.
  const std::tuple<int, const char*, int, bool> rows[] = {
      {1, "dr", 0, false},       {-500, "r", -500, false},   {-500, "ddr", -500, false},
      {-500, "dd", -1500, true}, {-4000, "d", -5000, true},  {-4500, "dr", -4500, false},
      {-500, "dur", -200, true}, {-500, "dSd", -1500, true}, {-500, "dxSd", -1500, true},
      {0, "dr", 0, false}};
  EngineWorld w;
  SoundEngine& e = w.engine;
  for (const auto& [level, ops, after, ducked] : rows) {
    SCOPED_TRACE(std::string(ops) + " from " + std::to_string(level));
    e.StartMenuMusic();
    if (level == 1) e.BackgroundBuffer.Buffer.reset();
    if (level != 1) e.BackgroundBuffer.Buffer->SetVolume(level);
    for (const char* op = ops; *op != '\0'; ++op) {
      if (*op == 'd') e.DuckMusic();
      if (*op == 'r') e.RestoreMusic();
      if (*op == 'u') e.BackgroundBuffer.Buffer->SetVolume(-200);
      if (*op == 'S') e.StartMenuMusic();
      if (*op == 'x') e.StopBackground();
    }
    EXPECT_EQ(e.MusicDucked, ducked);
    EXPECT_EQ(level != 1 ? e.BackgroundBuffer.Buffer->GetVolume() : after, after);
  }
}

TEST(SoundEngine, AmbientClipsNeverRepeatTheLastThreeAndAMissingOneIsSkipped) {
  EngineWorld w;
  w.engine.LoadAmbientSounds();
  Timer timer(w.sim.platform.Windows, "tmrAmbient(0)");
  // A clip missing when the alley was loaded is skipped; the timer keeps its interval.
  timer.SetInterval(1234);
  w.engine.AmbientBuffers[12].Buffer.reset();
  w.Push({Pick(12, 15), 0.5, 0.5, 0.0});
  w.engine.PlayRandomAmbient(0, timer);
  EXPECT_EQ(timer.Interval(), 1234);
  EXPECT_TRUE(w.PlaysOn("AmbientBuffers[12]").empty());
  // With the generator's own draws: every clip comes up, never one of the last three.
  std::vector<int> played = {12};
  while (played.size() < 300) {
    w.engine.PlayRandomAmbient(0, timer);
    played.push_back(w.engine.AmbientHistory[2]);
  }
  for (std::size_t i = 3; i < played.size(); ++i) {
    ASSERT_EQ(std::set<int>(played.begin() + i - 3, played.begin() + i + 1).size(), 4u) << i;
  }
  EXPECT_EQ(std::set<int>(played.begin(), played.end()).size(), 15u);
}

// The draws that pick each voice: "f.wav", ".wav", "p.wav".
constexpr double F = 0.1, Plain = 0.5, P = 0.9;

// The snippets heard on the number slot, by stem: "20 1", "40f 7f".
std::string Snippets(const EngineWorld& w) {
  std::string out;
  for (const std::string& file : w.PlaysOn("NumberBuffer"))
    out += " " + file.substr(0, file.size() - 4);
  return out.empty() ? out : out.substr(1);
}

// What a listener adds up from the snippets: numbers add to the group, "hundred" multiplies
// the group, "thousnd" all so far, "negativ" turns the sign.
std::int64_t Value(const std::string& snippets) {
  std::int64_t total = 0, group = 0, sign = 1;
  std::istringstream in(snippets);
  for (std::string s; in >> s;) {
    if (s.back() == 'f' || s.back() == 'p') s.pop_back();  // the voice
    if (s == "negativ") sign = -1;
    if (s == "hundred") group *= 100;
    if (s == "thousnd") total = (total + group) * 1000, group = 0;
    if (std::isdigit(static_cast<unsigned char>(s[0])) != 0) group += std::stoi(s);
  }
  return sign * (total + group);
}

TEST(NumberSpeech, EveryNumberIsHeardAsItsValueInTheFewestSnippetsEachGroupInOneVoice) {
  // The number, the draws that pick its voices (none: the plain one), what is heard and the
  // voice left for what follows; then random numbers in the plain voice.
  // clang-format off
  const std::tuple<std::int32_t, std::vector<double>, std::string, std::string> rows[] = {
      {47, {F}, "40f 7f", "f.wav"},  // below a thousand, one voice for the whole number
      {47, {P}, "40p 7p", "p.wav"},
      // A one-digit leading group keeps the number's voice; the rest is a number of its own.
      {1234, {F, P}, "1f thousndf 2p hundredp 30p 4p", "p.wav"},
      // A longer leading group draws its own voice, and "thousand" keeps it.
      {654321, {F, P, Plain}, "6p hundredp 50p 4p thousndp 3 hundred 20 1", ".wav"},
      {-20001, {P, F, Plain}, "negativp 20f thousndf 1", ".wav"},  // minus once, whole number's
      {0, {}, "0", ".wav"}, {13, {}, "13", ".wav"}, {21, {}, "20 1", ".wav"}, {30, {}, "30", ".wav"},
      {110, {}, "1 hundred 10", ".wav"}, {300, {}, "3 hundred", ".wav"}, {1001, {}, "1 thousnd 1", ".wav"},
      {21015, {}, "20 1 thousnd 15", ".wav"}, {100000, {}, "1 hundred thousnd", ".wav"},
      {-8, {}, "negativ 8", ".wav"}};
  // clang-format on
  EngineWorld w;
  std::mt19937 gen(7);
  std::uniform_int_distribution<std::int32_t> any(-999999, 999999);
  for (std::size_t i = 0; i < 300; ++i) {
    const bool row = i < std::size(rows);
    const std::int32_t n = row ? std::get<0>(rows[i]) : any(gen);
    SCOPED_TRACE(n);
    w.sim.platform.Trace.Clear();
    const std::int64_t start = w.Now();
    const auto& voiced = row ? std::get<1>(rows[i]) : std::vector<double>{};
    for (const double d : voiced.empty() ? std::vector{Plain, Plain, Plain} : voiced)
      w.sim.random.Push(d);
    w.engine.Numbers.SpeakNumber(n);
    const std::string heard = Snippets(w);
    if (row) {
      EXPECT_EQ(heard, std::get<2>(rows[i]));
      EXPECT_EQ(w.engine.Numbers.NumberSuffix(), std::get<3>(rows[i]));
    }
    EXPECT_EQ(Value(heard), n) << heard;
    EXPECT_EQ(n == 0, (" " + heard + " ").find(" 0 ") != std::string::npos) << heard;
    EXPECT_EQ(w.Now() - start, 400 * static_cast<std::int64_t>(w.PlaysOn("NumberBuffer").size()));
  }
  EXPECT_TRUE(w.PlaysOn("SpeechBuffer").empty());  // no buzzer
}

}  // namespace
}  // namespace strikora
