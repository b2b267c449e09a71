#include "screen/SpokenLine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>

namespace strikora {
namespace {

std::string KeyOf(std::string_view clip) {
  std::string key(clip);
  for (char& c : key) {
    c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  while (!key.empty() && key.front() == '/') key.erase(key.begin());
  return key;
}

bool EndsSentence(std::string_view words) {
  while (!words.empty() && words.back() == ' ') words.remove_suffix(1);
  return !words.empty() && (words.back() == '.' || words.back() == '!' || words.back() == '?');
}

}  // namespace

void ClipWords::Load(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) continue;
    Add(std::string_view(line).substr(0, tab), std::string_view(line).substr(tab + 1));
  }
}

void ClipWords::Add(std::string_view clip, std::string_view words) {
  std::string text(words);
  // The speaker test's three parts are heard as one clip.
  std::replace(text.begin(), text.end(), '|', ' ');
  words_[KeyOf(clip)] = std::move(text);
}

const std::string* ClipWords::Of(std::string_view relative) const {
  const auto it = words_.find(KeyOf(relative));
  return it == words_.end() ? nullptr : &it->second;
}

void SpokenLine::StartPiece(bool upperCase, Kind kind) {
  // A new sentence after a name or a number ("... Linda K" then "First ball.") starts a line
  // of its own; so does anything after a full stop, a key or another screen.
  const bool afterNameOrNumber = last_ == Last::Name || last_ == Last::Number;
  if (breakPending_ || ended_ || last_ == Last::Nothing ||
      (afterNameOrNumber && upperCase && kind == Kind::Words)) {
    line_.clear();
  }
  breakPending_ = false;
  ended_ = false;
}

void SpokenLine::Said(std::string_view words, Kind kind) {
  if (words.empty()) return;
  CloseNumber();
  StartPiece(std::isupper(static_cast<unsigned char>(words.front())) != 0, kind);
  if (!line_.empty()) line_ += ' ';
  line_ += words;
  ended_ = kind == Kind::Words && EndsSentence(words);
  last_ = kind == Kind::Name ? Last::Name : Last::Words;
}

void SpokenLine::SaidNumber(std::string_view stem) {
  int value = -1;
  if (stem != "hundred" && stem != "thousnd" && stem != "negativ") {
    const auto [end, ec] = std::from_chars(stem.data(), stem.data() + stem.size(), value);
    if (ec != std::errc() || end != stem.data() + stem.size() || value < 0 || value > 90) return;
  }
  // Whether this snippet goes on with the number being spoken: "hundred" and "thousand" always
  // do; a value does after "hundred" or "thousand", or as the units after a ten ("80", "7").
  bool goesOn = false;
  if (inNumber_ && !breakPending_) {
    const std::int64_t tail = group_ % 100;
    if (value < 0) {
      goesOn = stem != "negativ" && anyDigit_;
    } else if (!anyDigit_) {
      goesOn = true;  // after "minus"
    } else if (group_ == 0) {
      goesOn = thousands_ > 0;
    } else {
      goesOn = (tail == 0 && value < 100) || (tail >= 20 && tail % 10 == 0 && value < 10);
    }
  }
  if (!goesOn) {
    CloseNumber();
    StartPiece(false, Kind::Words);
    inNumber_ = true;
    negative_ = false;
    anyDigit_ = false;
    thousands_ = group_ = 0;
  }
  if (stem == "negativ") {
    negative_ = true;
  } else if (stem == "hundred") {
    group_ = std::max<std::int64_t>(group_, 1) * 100;
  } else if (stem == "thousnd") {
    thousands_ = (thousands_ + std::max<std::int64_t>(group_, 1)) * 1000;
    group_ = 0;
  } else {
    group_ += value;
    anyDigit_ = true;
  }
  last_ = Last::Number;
}

void SpokenLine::CloseNumber() {
  if (!inNumber_) return;
  inNumber_ = false;
  const std::string digits = (negative_ ? "-" : "") + std::to_string(thousands_ + group_);
  if (!line_.empty()) line_ += ' ';
  line_ += digits;
}

std::string SpokenLine::Text() const {
  if (!inNumber_) return line_;
  const std::string digits = (negative_ ? "-" : "") + std::to_string(thousands_ + group_);
  return line_.empty() ? digits : line_ + ' ' + digits;
}

}  // namespace strikora
