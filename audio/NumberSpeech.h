#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace strikora {

class SoundEngine;

// Speaks numbers by chaining recorded snippets from the numbers folder: 0..20, the tens from 30
// to 90, "hundred", "thousnd" and "negativ", each in three voices (".wav", "f.wav", "p.wav").
// Every snippet plays on the number slot and is waited for before the next one starts.
class NumberSpeech {
 public:
  explicit NumberSpeech(SoundEngine& engine) : engine_(engine) {}

  static constexpr std::int32_t Largest = 999999;

  // Speaks n in a voice drawn at random and returns after the last snippet. A snippet that
  // cannot be played throws to the caller and the rest of the number is not spoken; a number
  // outside -999999..999999 throws PlatformError (OutOfRange) before anything is heard.
  void SpeakNumber(std::int32_t n);
  // Loads "\0.wav" into the number slot without playing it.
  void InitNumberSpeech();

  // The voice of the number being spoken; empty until the first number.
  [[nodiscard]] const std::string& NumberSuffix() const { return suffix_; }

 private:
  void SpeakNumberFile(int v);
  void SpeakTens(int v);
  void SpeakHundreds(int v);
  void SpeakThousands(int v, int leadingDigits);
  void PlaySnippet(std::string_view stem);

  SoundEngine& engine_;
  std::string suffix_;
};

}  // namespace strikora
