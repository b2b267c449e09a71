#pragma once

#include "platform/Audio.h"
#include "platform/Clock.h"
#include "platform/EventSource.h"
#include "platform/Mixer.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "platform/SoundTrace.h"
#include "platform/WindowSystem.h"

namespace strikora {

// The desktop as the game sees it: one backend's clock, keys, sound, music, settings and chance,
// with the sound trace wrapped around everything the player hears and the player's mix under it. A
// backend builds one and hands it to the game; nothing here knows which backend it is.
class Platform {
 public:
  Platform(Clock& clock, EventSource& events, AudioDevice& audio, MusicPlayer& music,
           SettingsStore& settings, RandomSource& random)
      : Trace(clock),
        Windows(events, clock, Trace),
        Mix(audio, music, Windows),
        Audio(Mix, Trace),
        Music(Mix.Music(), Trace),
        Time(clock),
        Settings(settings),
        Random(random) {}
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  SoundTrace Trace;
  WindowSystem Windows;
  // Below the trace: the trace shows the levels the game sets, the device hears them mixed.
  Mixer Mix;
  TracingAudioDevice Audio;
  TracingMusicPlayer Music;
  const Clock& Time;
  SettingsStore& Settings;
  RandomSource& Random;
};

}  // namespace strikora
