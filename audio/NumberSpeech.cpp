#include "audio/NumberSpeech.h"

#include <cstdlib>
#include <exception>
#include <string>

#include "audio/SoundEngine.h"

namespace strikora {
namespace {

int ValueOf(const std::string& digits) {
  return std::atoi(digits.c_str());
}

}  // namespace

void NumberSpeech::SpeakNumber(std::int32_t n) {
  if (n < -Largest || n > Largest) {
    // Six digits is all the snippets can say; anything longer would come out as nonsense.
    try {
      throw PlatformError(ErrorCode::OutOfRange,
                          "number outside the spoken range: " + std::to_string(n));
    } catch (const PlatformError&) {
      engine_.LogError("SpeakNumber");
    }
    return;
  }
  switch (engine_.GetPlatform().Random.Between1And(3)) {
    case 1:
      suffix_ = "f.wav";
      break;
    case 2:
      suffix_ = ".wav";
      break;
    default:
      suffix_ = "p.wav";
      break;
  }
  if (n < 0) {
    PlaySnippet("negativ");
    n = -n;
  }
  if (n > 99999) {
    SpeakThousands(n, 3);
  } else if (n > 9999) {
    SpeakThousands(n, 2);
  } else if (n > 999) {
    SpeakThousands(n, 1);
  } else if (n > 99) {
    SpeakHundreds(n);
  } else if (n >= 21) {
    SpeakTens(n);
  } else {
    SpeakNumberFile(n);
  }
}

void NumberSpeech::InitNumberSpeech() {
  const auto file = engine_.GetFolders().NumbersFolder / "0.wav";
  try {
    (void)engine_.Load(engine_.NumberBuffer, file);
  } catch (const std::exception&) {
    engine_.LogError(file.string());
  }
}

void NumberSpeech::SpeakNumberFile(int v) {
  PlaySnippet(std::to_string(v));
}

void NumberSpeech::SpeakTens(int v) {
  const std::string t = std::to_string(v);
  PlaySnippet(std::string(1, t.front()) + "0");
  const int u = t.back() - '0';
  if (u > 0) SpeakNumberFile(u);
}

void NumberSpeech::SpeakHundreds(int v) {
  const std::string t = std::to_string(v);
  SpeakNumberFile(t.front() - '0');
  PlaySnippet("hundred");
  const int r = ValueOf(t.substr(t.size() - 2));
  if (r >= 1 && r <= 20) {
    SpeakNumberFile(r);
  } else if (r >= 21) {
    SpeakTens(r);
  }
}

void NumberSpeech::SpeakThousands(int v, int leadingDigits) {
  const std::string t = std::to_string(v);
  const int group = ValueOf(t.substr(0, static_cast<std::size_t>(leadingDigits)));
  // A one-digit group keeps the voice; a longer one is a number of its own with a fresh voice,
  // and "thousand" follows in whatever voice the group ended with.
  if (leadingDigits == 1) {
    SpeakNumberFile(group);
  } else {
    SpeakNumber(group);
  }
  PlaySnippet("thousnd");
  const int rest = ValueOf(t.substr(t.size() - 3));
  if (rest > 0) SpeakNumber(rest);
}

void NumberSpeech::PlaySnippet(std::string_view stem) {
  engine_.PlayClipAndWait(engine_.NumberBuffer,
                          engine_.GetFolders().NumbersFolder / (std::string(stem) + suffix_));
}

}  // namespace strikora
