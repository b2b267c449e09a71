#include "audio/NameSpeech.h"

#include <algorithm>
#include <exception>

#include "platform/PlatformError.h"

namespace strikora {

bool IsPlainClipName(std::string_view name) {
  if (name.empty() || name == "." || name.find("..") != std::string_view::npos) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
  });
}

void NameSpeech::SpeakNameClip(const std::filesystem::path& folder, const std::string& name) {
  const bool plain = IsPlainClipName(name);
  // A hostile name never reaches a path or the log as it stands.
  const std::filesystem::path file = folder / (plain ? name : std::string("(not a clip name)"));
  try {
    if (!plain) {
      throw PlatformError(ErrorCode::FileNotFound, "the roster holds a name that is not a clip");
    }
    engine_.PlayClipAndWait(engine_.AnnouncerBuffer, file);
  } catch (const std::exception&) {
    engine_.LogError(file.string());
  }
}

void NameSpeech::SpeakFirstName(int index) {
  const Player* p = roster_.PlayerAt(index);
  const std::string name = p != nullptr ? p->FirstName() : std::string();
  const Folders& f = engine_.GetFolders();
  SpeakNameClip(IsInitialClip(name) ? f.InitialsFolder : f.NamesFolder, name);
}

void NameSpeech::SpeakLastName(int index) {
  const Player* p = roster_.PlayerAt(index);
  SpeakNameClip(engine_.GetFolders().InitialsFolder, p != nullptr ? p->LastName() : std::string());
}

void NameSpeech::SpeakPlayerName(int index) {
  SpeakFirstName(index);
  SpeakLastName(index);
}

}  // namespace strikora
