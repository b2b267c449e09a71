#include "menus/fOptions.h"

#include <algorithm>
#include <exception>
#include <string>

#include "audio/SoundMix.h"

namespace strikora {
namespace {

constexpr const char* kItemClips[] = {"volspch.wav",  "volfx.wav",   "volcrowd.wav",
                                      "volmusic.wav", "clearsp.wav", "headph.wav"};

}  // namespace

fOptions::fOptions(SoundEngine& engine) : SpokenMenu(engine, "Sound Options:", 6) {}

void fOptions::PlayPrompt() {
  SpeakClip(MenuClip("psoption.wav"));
}

void fOptions::SpeakItem() {
  // The item and its value are heard as one.
  const BusyScope busy(Engine);
  SpeakClip(MenuClip(kItemClips[std::clamp<int>(Item, 0, 5)]));
  SpeakValue();
}

void fOptions::SpeakValue() {
  const MixSettings& mix = Mix().Settings();
  if (Item >= kSpeech && Item <= kMusic) {
    Engine.DuckMusic();
    try {
      Engine.Numbers.SpeakNumber(mix.Volume[static_cast<std::size_t>(Item)]);
    } catch (const std::exception&) {
      Engine.LogError("SpeakNumber");
    }
    Engine.PlayAndWait(MenuClip("percent.wav"));
    Engine.RestoreMusic();
    return;
  }
  const bool on = Item == kClearSpeech ? mix.ClearSpeech : mix.Headphones;
  SpeakClip(MenuClip(on ? "on.wav" : "off.wav"));
}

void fOptions::ChooseItem() {
  // Enter switches an on/off item; on a volume it says the value again.
  if (Item == kClearSpeech || Item == kHeadphones) {
    const MixSettings& mix = Mix().Settings();
    Change((Item == kClearSpeech ? mix.ClearSpeech : mix.Headphones) ? -1 : 1);
    return;
  }
  const BusyScope busy(Engine);
  SpeakValue();
}

bool fOptions::Escape() {
  Hide();
  return true;
}

SpokenMenu::KeyAction fOptions::ExtraKey(int KeyCode) {
  if (KeyCode != vk::Left && KeyCode != vk::Right) return KeyAction::NotTaken;
  Change(KeyCode == vk::Right ? 1 : -1);
  return KeyAction::Done;
}

void fOptions::Change(int direction) {
  MixSettings mix = Mix().Settings();
  if (Item >= kSpeech && Item <= kMusic) {
    int& v = mix.Volume[static_cast<std::size_t>(Item)];
    // Speech never goes silent: the menus themselves would be lost with it.
    v = std::clamp(v + 10 * direction, Item == kSpeech ? kLeastSpeechVolume : 0, 100);
  } else if (Item == kClearSpeech) {
    mix.ClearSpeech = direction > 0;
  } else {
    mix.Headphones = direction > 0;
  }
  if (!Mix().Apply(mix) && Item == kHeadphones && mix.Headphones) {
    // Said as it is heard: off, with the buzzer and the reason in the log.
    mix.Headphones = false;
    (void)Mix().Apply(mix);
    try {
      throw PlatformError(ErrorCode::AudioFailure, kNoHeadphones3D);
    } catch (const PlatformError&) {
      Engine.LogError("Headphones");
    }
  }
  try {
    SaveMixSettings(Engine.GetPlatform().Settings, mix);
  } catch (const std::exception&) {
    Engine.LogError("SaveSetting");
  }
  const BusyScope busy(Engine);
  PlaySample();
  SpeakValue();
}

void fOptions::PlaySample() {
  // Speech is heard in the value itself; the music is the menu music playing now.
  const std::filesystem::path& play = Engine.GetFolders().PlayFolder;
  try {
    if (Item == kEffects) {
      Engine.PlayClipAndWait(Engine.BallBuffer, play / "pin7.wav");
    } else if (Item == kCrowd) {
      Engine.PlayClipAndWait(Engine.CrowdBuffer, play / "cheer3.wav");
    }
  } catch (const std::exception&) {
    Engine.LogError((play / (Item == kEffects ? "pin7.wav" : "cheer3.wav")).string());
  }
}

void ShowOptions(Form& mainMenu, fOptions& options) {
  mainMenu.Hide();
  options.Show(ShowMode::Modeless);
  options.Windows().WaitUntil([&options] { return !options.Visible(); }, "the options to close");
  mainMenu.Show(ShowMode::Modeless);
}

}  // namespace strikora
