// The lane as the player hears it: a whole game for one bowler with the default sound set, on
// the simulated desktop while OpenAL mixes into memory in step with virtual time, heard whole
// and in stems so that each call is measured against the lane's sound under it (EBU R 128).
#include <ebur128.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <regex>

#include "app/Application.h"
#include "audio/SoundMix.h"
#include "platform/AudioFile.h"
#include "platform/sdl/OpenAlAudioDevice.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/TempDir.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
constexpr int kRate = 48000;

constexpr auto FrameAt = [](std::int64_t ms) { return ms * kRate / 1000; };

struct Heard {
  std::vector<float> Pcm;  // interleaved left, right
  std::vector<TraceEvent> Events;
};

// The keys a player presses, each when the clip that asks for it begins.
void Answer(sim::SimWorld& world, const TraceEvent& e, int& aimTones, bool& chosen) {
  if (e.Kind != "play") return;
  const std::string& slot = e.Fields[0];
  const std::string clip = fs::path(e.Fields[1]).filename().string();
  world.ClipStarted(e.Fields[1]);
  static const std::regex ball("(1stball|2ndball)\\d\\.wav|xtraball\\.wav"),
      turnOver("nxtplay\\d\\.wav|etc\\.wav");
  const bool announcer = slot == "AnnouncerBuffer";
  if (announcer && clip == "A.wav" && !chosen) {  // the bowler in today's list, and confirmed
    chosen = true;
    world.PressKeyAfter(500, vk::Space);
    world.PressKeyAfter(3000, vk::Enter);
  } else if (clip == "psapm.wav" || clip == "pssl.wav") {
    world.PressKeyAfter(4000, vk::Enter);
  } else if (announcer && std::regex_match(clip, ball)) {
    world.PressKeyAfter(300, vk::Space);
    aimTones = 0;
  } else if (slot.starts_with("AimBuffers") && ++aimTones == 11) {
    world.PressKeyAfter(50, vk::Down);
  } else if (announcer && std::regex_match(clip, turnOver)) {
    world.PressKeyAfter(300, vk::Enter);
  } else if (clip == "ruagain.wav") {
    world.PressKeyAfter(300, vk::Letter('N'));
  }
}

// What a stem keeps: the voices, the lane's background, or everything.
enum class Stem { Voices, Background, All };

// One whole game for one bowler at this mix, from a data folder the packs are unpacked in.
Heard PlayGame(const fs::path& data, Stem stem, bool clearSpeech) {
  sdl::OpenAlContext context(sdl::OpenAlOutput::Loopback, kRate);
  sdl::OpenAlAudioDevice device(context);
  sim::SimWorld world;
  MemorySettings settings;
  ScriptedRandom random;
  Platform platform(world, world, device, world, settings, random);
  platform.Trace.KeepInMemory(true);
  world.DescribeWait = [&platform] { return std::string(platform.Windows.WaitingFor()); };
  Heard out;
  out.Pcm.reserve(2 * kRate * 600);  // ten minutes: a whole game without moving it
  // A millisecond at a time: the mixer notices a clip's end at the end of a render, so equal
  // steps keep every recording of the game in step with the others.
  world.OnAdvance = [&](std::int64_t from, std::int64_t to) {
    for (std::int64_t ms = from; ms < to; ++ms) {
      const std::size_t at = out.Pcm.size();
      out.Pcm.resize(at + 2 * static_cast<std::size_t>(FrameAt(ms + 1) - FrameAt(ms)));
      context.Render({out.Pcm.data() + at, out.Pcm.size() - at});
    }
  };
  Application app(platform, data, STRIKORA_SOUND_SET);
  // The same newcomer every time: a game stored by the last recording would change this one.
  strikora::Player bowler;
  bowler.SetFirstName("fn1.wav");
  bowler.SetLastName("A.wav");
  fs::remove(app.GetFolders().PlayersFile);
  bowler.Save(app.GetFolders().PlayersFile, 1);
  int aimTones = 0;
  bool chosen = false;
  platform.Trace.SetListener([&](const TraceEvent& e) { Answer(world, e, aimTones, chosen); });
  // A stem is heard by giving what it leaves out a kind of its own, turned off. The lane's
  // background: the alley's music, ambience, murmurs and "oh"s, the other lanes, and the menu
  // music under the results.
  if (stem != Stem::All) {
    platform.Mix.SetClassifier([&app, stem](const fs::path& file, const std::string& slot) {
      ClipRole role = RoleOfClip(app.GetFolders(), file, slot);
      const bool background = file.parent_path() == app.GetFolders().AmbientFolder ||
                              slot == "PinBuffer" || file.filename() == "menu.wav";
      role.Kind =
          (stem == Stem::Voices ? role.Voice : background) ? SoundKind::Speech : SoundKind::Effects;
      return role;
    });
  }
  MixSettings mix;
  mix.ClearSpeech = clearSpeech;
  if (stem != Stem::All) mix.Volume = {100, 0, 0, 0};
  (void)platform.Mix.Apply(mix);
  app.Players().CatalogueFirstNames();
  app.Players().LoadRoster();
  app.Engine().StartMenuMusic();
  try {
    app.StartGame();
  } catch (const sim::SimStalled& stalled) {
    ADD_FAILURE() << stalled.what();
  }
  out.Events = platform.Trace.Events();
  platform.Trace.SetListener(nullptr);
  return out;
}

// A stretch of the lane where a voice speaks: the clips of one call run into each other.
struct Call {
  std::int64_t From = 0, To = 0;  // frames
  std::string Clips;
};

std::vector<Call> VoiceCalls(const Heard& h) {
  std::vector<Call> calls;
  bool onLane = false;
  const std::vector<TraceEvent>& ev = h.Events;
  for (std::size_t i = 0; i < ev.size(); ++i) {
    const TraceEvent& e = ev[i];
    onLane = onLane || (e.Kind == "focus" && e.Fields[0] == "Strikora");
    if (!onLane || e.Kind != "play") continue;
    if (e.Fields[0] != "AnnouncerBuffer" && e.Fields[0] != "NumberBuffer") continue;
    const AudioFileInfo info = ReadAudioInfo(e.Fields[1]);
    const std::int64_t from = FrameAt(e.Ms);
    std::int64_t to = from + info.Frames * kRate / info.SampleRate;
    // A key may cut the call short: it ends where its slot stops or plays the next clip.
    const auto next = std::find_if(ev.begin() + i + 1, ev.end(), [&](const TraceEvent& n) {
      return (n.Kind == "stop" || n.Kind == "play") && n.Fields[0] == e.Fields[0];
    });
    if (next != ev.end()) to = std::min(to, FrameAt(next->Ms));
    const std::string clip = fs::path(e.Fields[1]).stem().string();
    if (!calls.empty() && from <= calls.back().To + kRate / 5) {
      calls.back().To = std::max(calls.back().To, to);
      calls.back().Clips += " " + clip;
    } else {
      calls.push_back({from, to, clip});
    }
  }
  return calls;
}

// Loudness (LUFS, ungated) of frames [from, to) of a recording: the mean energy of its
// 400 ms blocks, 100 ms apart; a stretch shorter than a block is padded with silence to one.
// -70 for silence.
double Loudness(const std::vector<float>& pcm, std::int64_t from, std::int64_t to) {
  const auto frames = static_cast<std::int64_t>(pcm.size() / 2);
  from = std::clamp<std::int64_t>(from, 0, frames);
  to = std::clamp<std::int64_t>(to, from, frames);
  constexpr std::int64_t kBlock = kRate * 4 / 10, kHop = kRate / 10;
  ebur128_state* st = ebur128_init(2, kRate, EBUR128_MODE_M);
  const std::vector<float> silence(static_cast<std::size_t>(2 * kBlock), 0.0f);
  if (to - from < kBlock) {
    ebur128_add_frames_float(st, silence.data(), static_cast<std::size_t>(kBlock - (to - from)));
  }
  double energy = 0, lufs = 0;
  int blocks = 0;
  for (std::int64_t at = from; at < to;) {
    const std::int64_t n = std::min(kHop, to - at);
    ebur128_add_frames_float(st, pcm.data() + 2 * at, static_cast<std::size_t>(n));
    at += n;
    if (at - from < kBlock && at != to) continue;
    ++blocks;
    if (ebur128_loudness_momentary(st, &lufs) == EBUR128_SUCCESS && std::isfinite(lufs))
      energy += std::pow(10.0, lufs / 10);
  }
  ebur128_destroy(&st);
  return blocks == 0 || energy <= 0 ? -70 : std::max(-70.0, 10 * std::log10(energy / blocks));
}

double TruePeakDb(const std::vector<float>& pcm) {
  ebur128_state* st = ebur128_init(2, kRate, EBUR128_MODE_TRUE_PEAK);
  ebur128_add_frames_float(st, pcm.data(), pcm.size() / 2);
  double peak = 0, p = 0;
  for (unsigned c = 0; c < 2; ++c) peak = std::max(peak, ebur128_true_peak(st, c, &p) == 0 ? p : 0);
  ebur128_destroy(&st);
  return 20 * std::log10(std::max(peak, 1e-9));
}

std::pair<double, double> MedianAndLeast(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? std::pair{0.0, 0.0} : std::pair{v[v.size() / 2], v.front()};
}

// The default sound set unpacked once, for every recording here.
const fs::path& Unpacked() {
  static const testing::TempDir dir;
  static const bool unpacked = [] {
    sim::SimPlatform unpacking;
    Application app(unpacking.platform, dir.Path(), STRIKORA_SOUND_SET);
    fs::create_directories(app.GetFolders().SoundsFolder);
    app.UnpackSoundPacks();
    return true;
  }();
  (void)unpacked;
  return dir.Path();
}

TEST(LaneMix, EveryCallStandsClearOfTheLaneAndTheMixNeverClips) {
  const fs::path& data = Unpacked();
  const Heard speech = PlayGame(data, Stem::Voices, true);
  const Heard lane = PlayGame(data, Stem::Background, true);
  const Heard laneOff = PlayGame(data, Stem::Background, false);
  const Heard all = PlayGame(data, Stem::All, true);
  // Each stem is timed by its own trace: the mixer may notice a clip's end a block apart
  // from one recording to the next, so the same call may begin a few milliseconds apart.
  const std::vector<Call> calls = VoiceCalls(speech), underOn = VoiceCalls(lane),
                          underOff = VoiceCalls(laneOff);
  ASSERT_GE(calls.size(), 30u) << "a whole game has many calls";
  ASSERT_EQ(underOn.size(), calls.size()) << "the stems heard different games";
  ASSERT_EQ(underOff.size(), calls.size()) << "the stems heard different games";
  std::vector<double> on, off, before;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const Call &c = calls[i], &a = underOn[i], &b = underOff[i];
    ASSERT_EQ(a.Clips, c.Clips);
    const double s = Loudness(speech.Pcm, c.From, c.To);
    on.push_back(s - Loudness(lane.Pcm, a.From, a.To));
    off.push_back(s - Loudness(laneOff.Pcm, b.From, b.To));
    before.push_back(s - Loudness(laneOff.Pcm, b.From - kRate * 4 / 10, b.From));
    EXPECT_GE(on.back(), 15.0) << "at " << c.From * 1000 / kRate << " ms: " << c.Clips;
  }
  const double peak = TruePeakDb(all.Pcm);
  EXPECT_LE(peak, -1.0) << "true peak of the whole game at full volume";
  const auto [onMid, onLeast] = MedianAndLeast(on);
  const auto [offMid, offLeast] = MedianAndLeast(off);
  const auto [beforeMid, beforeLeast] = MedianAndLeast(before);
  std::printf(
      "%zu calls; clear of the lane under them, median (worst): clear speech on %.1f (%.1f) dB, "
      "off %.1f (%.1f) dB; off, against the 400 ms before: %.1f (%.1f) dB; true peak %.2f dBTP\n",
      calls.size(), onMid, onLeast, offMid, offLeast, beforeMid, beforeLeast, peak);
}

// The ears' level difference (left over right, dB), and the lag (within 1 ms) at which their
// signals agree best: samples by which the right ear hears it later.
std::pair<double, int> Listen(const std::vector<float>& pcm) {
  const auto frames = static_cast<std::int64_t>(pcm.size() / 2);
  const auto dot = [&](std::size_t a, std::size_t b, std::int64_t lag) {  // channels, b later
    double sum = 0;
    for (std::int64_t i = std::max<std::int64_t>(0, -lag); i < frames && i + lag < frames; ++i)
      sum += double{pcm[2 * static_cast<std::size_t>(i) + a]} *
             pcm[2 * static_cast<std::size_t>(i + lag) + b];
    return sum;
  };
  int best = -kRate / 1000;
  for (int lag = best; lag <= kRate / 1000; ++lag)
    best = dot(0, 1, lag) > dot(0, 1, best) ? lag : best;
  return {10 * std::log10(dot(0, 0, 0) / dot(1, 1, 0)), best};
}

// The roll as the lane glides it: thirty steps from the bowler's hand to the pins 18 m away;
// how much quieter its last half second is than its first.
double RollFallsBy(sdl::OpenAlContext& context, sdl::OpenAlAudioDevice& device,
                   const fs::path& roll) {
  const auto ball = device.CreateSoundBufferFromFile(roll, "BallBuffer");
  ball->SetStage(Stage::Lane);
  ball->SetPan(-1500);
  ball->Play(PlayMode::Once);
  std::vector<float> pcm(2 * 3 * kRate);
  for (int tick = 1; tick <= 30; ++tick) {
    ball->SetDistance(1 + 17.0 * tick / 30);
    context.Render({pcm.data() + (tick - 1) * 2 * kRate / 10, 2 * kRate / 10});
  }
  return Loudness(pcm, 0, kRate / 2) - Loudness(pcm, 3 * kRate - kRate / 2, 3 * kRate);
}

TEST(LaneMix, OnHeadphonesThePinsStandWhereTheyFellAndTheBallRollsAway) {
  const fs::path play = Unpacked() / "sounds" / "play";
  sdl::OpenAlContext context(sdl::OpenAlOutput::Loopback, kRate);
  sdl::OpenAlAudioDevice device(context);
  const double stereoFall = RollFallsBy(context, device, play / "roll.wav");
  ASSERT_TRUE(device.SetHeadphones(true)) << "this OpenAL has no head-related data";
  // Pins felled by a ball that reached the deck at lane position 2: left of the head pin.
  const auto pins = device.CreateSoundBufferFromFile(play / "pin10.wav", "BallBuffer");
  pins->SetStage(Stage::Lane);
  pins->SetPan(125 * 2 - 1250);
  pins->SetDistance(18);
  pins->Play(PlayMode::Once);
  std::vector<float> pcm(2 * kRate);
  context.Render(pcm);
  const auto [leftOverRight, rightLagsBy] = Listen(pcm);
  EXPECT_GE(leftOverRight, 1.0);
  EXPECT_GE(rightLagsBy, 2) << "the left ear hears the pins first";
  const double fall = RollFallsBy(context, device, play / "roll.wav");
  EXPECT_GE(fall - stereoFall, 6.0) << "in 3D the ball grows quieter as it goes away";
  std::printf(
      "3D: pins at deck position 2 are %.1f dB louder and %d samples (%.2f ms) earlier "
      "in the left ear; the roll falls %.1f dB in 3D, %.1f dB in stereo\n",
      leftOverRight, rightLagsBy, rightLagsBy * 1000.0 / kRate, fall, stereoFall);
}

}  // namespace
}  // namespace strikora
