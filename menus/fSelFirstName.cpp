#include "menus/fSelFirstName.h"

#include "platform/PlatformError.h"

namespace strikora {

bool fSelFirstName::StartFocus() {
  if (roster_.FirstNameCount() < 1) {
    // No recorded first name at all: the buzzer, and back to the first-name question.
    try {
      throw PlatformError(ErrorCode::FileNotFound,
                          "no recorded first names in " + Engine.GetFolders().NamesFolder.string());
    } catch (const PlatformError&) {
      Engine.LogError("fSelFirstName");
    }
    Hide();
    return false;
  }
  ReadListOrder(Engine.GetFolders().NamesDatFile, roster_.FirstNameCount(), listOrder_);
  Item = 0;
  return true;
}

const std::string& fSelFirstName::NameAt(int item) const {
  return roster_.FirstNameFiles(listOrder_[static_cast<std::size_t>(item)]);
}

std::filesystem::path fSelFirstName::ItemClip(int item) const {
  // An empty item (a bad line of names.dat) is no clip: it is heard as the buzzer.
  return Engine.GetFolders().NamesFolder / NameAt(item);
}

void fSelFirstName::ChooseItem() {
  // An empty item leaves the first name empty, and the first-name question asks again.
  Answers.NewFirstIsInitial = false;
  Answers.NewFirstName = NameAt(Item);
  Hide();
}

SpokenMenu::KeyAction fSelFirstName::ExtraKey(int KeyCode) {
  if (KeyCode == vk::PageUp) {
    Item = static_cast<std::int16_t>(Item - 10);
  } else if (KeyCode == vk::PageDown) {
    Item = static_cast<std::int16_t>(Item + 10);
  } else {
    return KeyAction::NotTaken;
  }
  return KeyAction::Moved;
}

}  // namespace strikora
