#include "audio/SoundEngine.h"

#include "audio/SoundMix.h"

#include <cmath>
#include <exception>
#include <string>

namespace strikora {
namespace {

std::filesystem::path Numbered(const std::filesystem::path& folder, const std::string& stem,
                               int k) {
  return folder / (stem + std::to_string(k) + ".wav");
}

// floor(scale * r + offset) for the random pans, dips and intervals.
int FloorOf(double value) {
  return static_cast<int>(std::floor(value));
}

}  // namespace

bool IsLandmarkPosition(int skillLevel, int p) {
  switch (skillLevel) {
    case 1:
      return p == 4 || p == 6 || p == 8 || p == 10 || p == 12 || p == 14 || p == 16;
    case 2:
      return p == 4 || p == 6 || p == 8 || p == 12 || p == 14 || p == 16;
    case 3:
      return p == 4 || p == 6 || p == 14 || p == 16;
    case 4:
      return p == 4 || p == 16;
    default:
      return false;
  }
}

SoundEngine::SoundEngine(Platform& platform, const Folders& folders)
    : Mp3(platform), Numbers(*this), platform_(platform), folders_(folders) {
  platform.Mix.SetClassifier([this](const std::filesystem::path& file, const std::string& slot) {
    return RoleOfClip(folders_, file, slot);
  });
}

SoundEngine::~SoundEngine() {
  platform_.Mix.SetClassifier(nullptr);
}

LoadedClip SoundEngine::Load(SoundSlot& slot, const std::filesystem::path& file) {
  // The new buffer is made before the old one is released: a clip that cannot be loaded
  // leaves the slot as it was.
  LoadedClip fresh = platform_.Audio.CreateSoundBufferFromFile(file, slot.Name);
  // A slot holds one clip at a time: the one it held falls silent, even where a loop still
  // holds it (the loop sees it stopped and ends), so Ctrl reaches everything on the slot.
  if (slot.IsPlaying()) {
    try {
      slot.Buffer->Stop();
    } catch (const std::exception&) {
      // It is released from the slot all the same.
    }
  }
  slot.Buffer = fresh;
  return fresh;
}

void SoundEngine::WaitFor(const SoundSlot& slot) {
  // The slot is read afresh on every poll: a handler that loads another clip into it during
  // the wait makes this wait go on until that clip ends.
  platform_.Windows.WaitUntil([&slot] { return !slot.IsPlaying(); },
                              [&slot] {
                                return slot.Buffer != nullptr ? slot.Buffer->MsUntilEnd()
                                                              : std::optional<std::int64_t>(0);
                              },
                              slot.Name.c_str());
}

void SoundEngine::WaitFor(const LoadedClip& clip, const char* what) {
  platform_.Windows.WaitUntil(
      [&clip] { return clip == nullptr || !clip->IsPlaying(); },
      [&clip] { return clip != nullptr ? clip->MsUntilEnd() : std::optional<std::int64_t>(0); },
      what);
}

void SoundEngine::PlayClipAndWait(SoundSlot& slot, const std::filesystem::path& file) {
  Load(slot, file)->Play(PlayMode::Once);
  WaitFor(slot);
}

void SoundEngine::LogError(std::string_view where) {
  if (errors_ != nullptr) {
    errors_->LogError(where, ErrorInfo::FromCurrentException());
  } else {
    platform_.Trace.Error(ErrorInfo::FromCurrentException().Number, std::string(where));
  }
}

void SoundEngine::LoadAndPlayTrapped(SoundSlot& slot, const std::filesystem::path& file, int volume,
                                     int pan, PlayMode mode, bool wait) {
  try {
    const LoadedClip b = Load(slot, file);
    if (volume != 0) b->SetVolume(volume);
    if (pan != 0) b->SetPan(pan);
    b->Play(mode);
    if (wait) WaitFor(slot);
  } catch (const std::exception&) {
    LogError(file.string());
  }
}

void SoundEngine::PlayAndWait(const std::filesystem::path& file) {
  LoadAndPlayTrapped(SpeechBuffer, file, 0, 0, PlayMode::Once, true);
}

void SoundEngine::PlayAnnouncerAndWait(std::string_view name) {
  LoadAndPlayTrapped(AnnouncerBuffer, Clip(folders_.AnnounceFolder, name), 0, 0, PlayMode::Once,
                     true);
}

void SoundEngine::PlaySilence(int count) {
  for (int i = 0; i < count; ++i) PlayAndWait(folders_.PackFolder / "silence.wav");
}

void SoundEngine::PlayActiveCue() {
  PlayAndWait(folders_.MenuFolder / "active.wav");
}

void SoundEngine::StopSpeech() {
  for (SoundSlot* slot : {&SpeechBuffer, &AnnouncerBuffer, &NumberBuffer}) {
    try {
      if (slot->IsPlaying()) slot->Buffer->Stop();
    } catch (const std::exception&) {
      // Silencing is best effort: the next slot is still tried.
    }
  }
}

// An empty background slot (its clip was missing) has nothing to lower or raise; the flag
// stays as it is so that the next clip is not raised above its level.
void SoundEngine::DuckMusic() {
  if (MusicDucked || BackgroundBuffer.Buffer == nullptr) return;
  const int v = BackgroundBuffer.Buffer->GetVolume() - 1000;
  if (v >= -5000) {
    BackgroundBuffer.Buffer->SetVolume(v);
    MusicDucked = true;
  }
}

void SoundEngine::RestoreMusic() {
  if (!MusicDucked || BackgroundBuffer.Buffer == nullptr) return;
  const int v = BackgroundBuffer.Buffer->GetVolume() + 1000;
  if (v <= 0) {
    BackgroundBuffer.Buffer->SetVolume(v);
    MusicDucked = false;
  }
}

// Starting or stopping the background starts its level afresh: a duck left over from the
// last music (the results lower it and never raise it) must not keep the next one from ducking.
void SoundEngine::StopBackground() {
  MusicDucked = false;
  try {
    if (BackgroundBuffer.Buffer != nullptr) BackgroundBuffer.Buffer->Stop();
  } catch (const std::exception&) {
    // Nothing to stop is as good as stopped.
  }
}

void SoundEngine::SpeakTime() {
  DuckMusic();
  Busy = true;
  // A missing number snippet must not leave the menus deaf (Busy) or the music lowered.
  struct Undo {
    SoundEngine& e;
    ~Undo() {
      e.Busy = false;
      try {
        e.RestoreMusic();
      } catch (const std::exception&) {
        // The failure already on its way to the caller is the one worth reporting.
      }
    }
  } undo{*this};
  int h = platform_.Time.Now().Hour;
  if (h == 0) h = 12;
  if (h > 12) h -= 12;
  Numbers.SpeakNumber(h);
  PlaySilence(2);
  const int m = platform_.Time.Now().Minute;
  if (m > 0) Numbers.SpeakNumber(m);
}

void SoundEngine::StartMenuMusic() {
  MusicDucked = false;
  LoadAndPlayTrapped(BackgroundBuffer, folders_.MenuFolder / "menu.wav", -500, 0, PlayMode::Looping,
                     false);
}

void SoundEngine::StartAlleyAmbience() {
  MusicDucked = false;
  LoadAndPlayTrapped(BackgroundBuffer, folders_.AmbientFolder / "alley.wav", -5000, 0,
                     PlayMode::Looping, false);
  const int target = -1500 - 250 * AmbientLevel;
  for (int v = -5000; v <= target; v += 125) {
    try {
      if (BackgroundBuffer.Buffer != nullptr) BackgroundBuffer.Buffer->SetVolume(v);
    } catch (const std::exception&) {
      LogError((folders_.AmbientFolder / "alley.wav").string());
    }
    PlaySilence(1);
  }
  StartAlleyMusic();
}

void SoundEngine::StartAlleyMusic() {
  const int k = platform_.Random.Between1And(5);
  LoadAndPlayTrapped(MusicBuffer, Numbered(folders_.AmbientFolder, "music", k),
                     -1000 - 250 * AmbientLevel, -1500, PlayMode::Looping, false);
}

void SoundEngine::LoadTrapped(SoundSlot& slot, const std::filesystem::path& file) {
  try {
    Load(slot, file);
  } catch (const std::exception&) {
    LogError(file.string());
  }
}

void SoundEngine::LoadAimSounds(int skillLevel) {
  for (std::size_t i = 0; i < AimBuffers.size(); ++i) {
    LoadTrapped(AimBuffers[i], folders_.PlayFolder / ("aim" + std::to_string(i) +
                                                      std::to_string(skillLevel) + ".wav"));
  }
}

void SoundEngine::PlayAimTone(int p, int skillLevel) {
  const SoundSlot& slot = AimBuffers[IsLandmarkPosition(skillLevel, p) ? 1 : 0];
  const LoadedClip tone = slot.Buffer;
  if (tone == nullptr) {
    throw PlatformError(ErrorCode::InvalidCall, "aim tone not loaded: " + slot.Name);
  }
  tone->SetPan(p * 500 - 5000);
  tone->Play(PlayMode::Once);
  WaitFor(tone, slot.Name.c_str());
}

void SoundEngine::LoadAmbientSounds() {
  for (int i = 1; i <= 7; ++i) {
    LoadTrapped(OhsBuffers[static_cast<std::size_t>(i)],
                Numbered(folders_.AmbientFolder, "ohs", i));
  }
  for (int i = 1; i <= 15; ++i) {
    LoadTrapped(AmbientBuffers[static_cast<std::size_t>(i)],
                Numbered(folders_.AmbientFolder, "amb", i));
  }
}

void SoundEngine::PlayRandomAmbient(int index, Timer& tmrAmbient) {
  RandomSource& random = platform_.Random;
  int k = random.Between1And(15);
  while (k == AmbientHistory[0] || k == AmbientHistory[1] || k == AmbientHistory[2]) {
    // Keys waiting are served between draws, but a draw never waits for the next event: this
    // tick's own timer cannot fire, and it may be the only thing left that would.
    platform_.Windows.DoPendingEvents();
    k = random.Between1And(15);
  }
  AmbientHistory = {AmbientHistory[1], AmbientHistory[2], static_cast<std::int16_t>(k)};
  const int pan = FloorOf(random.Rnd() * 10001 - 5000);
  const int dip = FloorOf(-(random.Rnd() * 750));
  try {
    SoundSlot& slot = AmbientBuffers[static_cast<std::size_t>(k)];
    if (slot.Buffer == nullptr) return;  // its clip was missing when the alley was loaded
    slot.Buffer->Play(PlayMode::Once);
    slot.Buffer->SetVolume(dip - 250 * AmbientLevel);
    slot.Buffer->SetPan(pan);
  } catch (const std::exception&) {
    return;  // a timer has no caller to tell; the next tick tries again
  }
  int interval = FloorOf(random.Rnd() * 10000 + 5000);
  if (index == 1) interval += 15000;
  tmrAmbient.SetInterval(interval);
}

void SoundEngine::PlayRandomOhs() {
  const int k = platform_.Random.Between1And(7);
  try {
    SoundSlot& slot = OhsBuffers[static_cast<std::size_t>(k)];
    if (slot.Buffer == nullptr || MusicBuffer.Buffer == nullptr) return;
    // The crowd answers from the side opposite the music.
    slot.Buffer->SetPan(MusicBuffer.Buffer->GetPan() + 5000);
    slot.Buffer->SetVolume(-250 * AmbientLevel);
    slot.Buffer->Play(PlayMode::Once);
  } catch (const std::exception&) {
    // Skipped this tick; the timer goes on.
  }
}

void SoundEngine::PlayBowlSound() {
  const int k = platform_.Random.Between1And(10);
  const int pan = FloorOf(10001 * platform_.Random.Rnd() - 5000);
  const auto file = Numbered(folders_.PlayFolder, "pin", k);
  try {
    const LoadedClip b = Load(PinBuffer, file);
    b->SetVolume(-2000 - 250 * AmbientLevel);
    b->SetPan(pan);
    b->Play(PlayMode::Once);
  } catch (const std::exception&) {
    LogError(file.string());
  }
}

void SoundEngine::PlayIntro() {
  const int hour = platform_.Time.Now().Hour;
  Mp3.LoadMP3(folders_.AnnounceFolder / "themesng.mp3");
  if (hour < 12) {
    PlayAnnouncerAndWait("\\intro1a.wav");
  } else if (hour < 18) {
    PlayAnnouncerAndWait("\\intro1b.wav");
  } else {
    PlayAnnouncerAndWait("\\intro1c.wav");
  }
  Mp3.PlayMP3(false);
  Mp3.LoadMP3(folders_.PackFolder / "logos.mp3");
}

void SoundEngine::ShutDownDirectX() {
  for (SoundSlot& s : AimBuffers) s.Buffer.reset();
  for (SoundSlot* s : {&NumberBuffer, &AnnouncerBuffer, &CrowdBuffer, &BallBuffer, &SpeechBuffer})
    s->Buffer.reset();
  for (SoundSlot& s : OhsBuffers) s.Buffer.reset();
  PinBuffer.Buffer.reset();
  for (SoundSlot& s : AmbientBuffers) s.Buffer.reset();
  MusicBuffer.Buffer.reset();
  BackgroundBuffer.Buffer.reset();
  (void)Mp3.TerminateEngine();
}

}  // namespace strikora
