#include "audio/SoundMix.h"

#include <array>
#include <charconv>
#include <string_view>

namespace strikora {
namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

constexpr const char* kApp = "KORVELDA";
constexpr const char* kSection = "Sound";
constexpr std::array<const char*, kSoundKinds> kVolumeKeys = {"Speech", "Effects", "Crowd",
                                                              "Music"};

// A whole number in [low, high], or the fallback.
int Read(const SettingsStore& store, const char* key, int low, int high, int fallback) {
  const std::string text = store.GetSetting(kApp, kSection, key, "");
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
    return fallback;
  }
  return value;
}

}  // namespace

ClipRole RoleOfClip(const Folders& f, const std::filesystem::path& file, const std::string& slot) {
  const std::filesystem::path folder = file.parent_path();
  const std::string stem = file.stem().string();
  ClipRole role;                       // speech at the centre: menus, prompts, the buzzer
  if (stem == "silence") return role;  // heard as nothing: it times, it does not speak
  if (slot == "AnnouncerBuffer" || slot == "NumberBuffer" || folder == f.AnnounceFolder ||
      folder == f.NumbersFolder || folder == f.NamesFolder || folder == f.InitialsFolder) {
    role.Voice = true;
  } else if (folder == f.MenuFolder) {
    // The menu music lies under the results' standings; a prompt on the lane is a voice.
    if (stem == "menu") {
      role = {SoundKind::Music, false, true, Stage::Centre};
    } else {
      role.Voice = stem != "active";
    }
  } else if (folder == f.AmbientFolder) {
    role = {StartsWith(stem, "music") ? SoundKind::Music : SoundKind::Crowd, false, true,
            StartsWith(stem, "music") ? Stage::Centre : Stage::Around};
  } else if (folder == f.PlayFolder) {
    if (StartsWith(stem, "cheer") || stem == "turkey") {
      role = {SoundKind::Crowd, false, false, Stage::Around};
    } else if (slot == "PinBuffer") {
      role = {SoundKind::Crowd, false, true, Stage::Around};  // the other lanes
    } else if (stem != "buzzer") {
      role = {SoundKind::Effects, false, false, Stage::Lane};
    }
  }
  return role;
}

MixSettings LoadMixSettings(const SettingsStore& store) {
  MixSettings mix;
  for (int k = 0; k < kSoundKinds; ++k) {
    const auto i = static_cast<std::size_t>(k);
    const int least = k == static_cast<int>(SoundKind::Speech) ? kLeastSpeechVolume : 0;
    const int v = Read(store, kVolumeKeys[i], least, 100, mix.Volume[i]);
    mix.Volume[i] = v % 10 == 0 ? v : mix.Volume[i];
  }
  mix.ClearSpeech = Read(store, "ClearSpeech", 0, 1, mix.ClearSpeech ? 1 : 0) == 1;
  mix.Headphones = Read(store, "Headphones", 0, 1, mix.Headphones ? 1 : 0) == 1;
  return mix;
}

void SaveMixSettings(SettingsStore& store, const MixSettings& mix) {
  for (int k = 0; k < kSoundKinds; ++k) {
    const auto i = static_cast<std::size_t>(k);
    store.SaveSetting(kApp, kSection, kVolumeKeys[i], std::to_string(mix.Volume[i]));
  }
  store.SaveSetting(kApp, kSection, "ClearSpeech", mix.ClearSpeech ? "1" : "0");
  store.SaveSetting(kApp, kSection, "Headphones", mix.Headphones ? "1" : "0");
}

}  // namespace strikora
