#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace strikora {

// The words of every clip that has any, keyed by the clip's place in the sound tree
// ("menu/psao.wav", "names/initials/k.wav"), read from the words file beside the packs: one
// clip a line, "clip<TAB>words". A player's own pack shows the same words for the same names.
class ClipWords {
 public:
  // A missing or unreadable file leaves no words: the window then shows only the screen names.
  // Lines without a tab are skipped.
  void Load(const std::filesystem::path& file);
  void Add(std::string_view clip, std::string_view words);
  // The words of the clip at `relative` (any case, '/' or '\\' between folders); null if none.
  [[nodiscard]] const std::string* Of(std::string_view relative) const;
  [[nodiscard]] std::size_t Count() const { return words_.size(); }

 private:
  std::unordered_map<std::string, std::string> words_;
};

// The line of words the player is hearing, put together clip by clip as they start: a sentence
// spoken in pieces ("Here comes", a name, an initial) reads as one line, and a number spoken
// in snippets ("1", "hundred", "80", "7") reads as digits ("187").
class SpokenLine {
 public:
  enum class Kind { Words, Name };
  // A clip with words started.
  void Said(std::string_view words, Kind kind = Kind::Words);
  // A number snippet started: its stem without the voice letter ("7", "hundred", "thousnd",
  // "negativ"). Anything else is ignored.
  void SaidNumber(std::string_view stem);
  // A key or another screen: what is said next starts a new line.
  void Break() { breakPending_ = true; }

  [[nodiscard]] std::string Text() const;

 private:
  void StartPiece(bool upperCase, Kind kind);
  void CloseNumber();

  enum class Last { Nothing, Words, Name, Number };
  std::string line_;
  Last last_ = Last::Nothing;
  bool ended_ = false;  // the last words ended a sentence
  bool breakPending_ = false;
  // The number being spoken: the thousands, the group under them, whether anything was said.
  bool inNumber_ = false, negative_ = false, anyDigit_ = false;
  std::int64_t thousands_ = 0, group_ = 0;
};

}  // namespace strikora
