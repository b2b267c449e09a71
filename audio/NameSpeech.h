#pragma once

#include <string>
#include <string_view>

#include "audio/SoundEngine.h"
#include "players/Roster.h"

namespace strikora {

// A bowler's name is a pair of clips: a recorded first name ("fn17.wav", in the names folder)
// or a first initial ("B.wav", in the initials folder), then a last initial. Spoken on the
// announcer's slot everywhere a bowler is named.
class NameSpeech {
 public:
  NameSpeech(SoundEngine& engine, const Roster& roster) : engine_(engine), roster_(roster) {}

  // index: 1..PlayerCount. A missing clip, or a name field that is not a plain file name, is
  // logged (the buzzer) and skipped.
  void SpeakPlayerName(int index);
  void SpeakFirstName(int index);
  void SpeakLastName(int index);

 private:
  void SpeakNameClip(const std::filesystem::path& folder, const std::string& name);

  SoundEngine& engine_;
  const Roster& roster_;
};

// A name read from the roster file becomes a clip file name only when it is a plain file
// name: letters, digits, '.', '-', '_', not empty and not "..". A roster file must never make
// the game open another file.
[[nodiscard]] bool IsPlainClipName(std::string_view name);

// A first name shorter than 7 characters is an initial ("C.wav"); "fn1.wav" and longer are
// recorded names.
[[nodiscard]] inline bool IsInitialClip(std::string_view firstName) {
  return firstName.size() < 7;
}

}  // namespace strikora
