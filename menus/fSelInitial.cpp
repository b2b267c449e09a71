#include "menus/fSelInitial.h"

namespace strikora {
namespace {

std::string LetterClip(int item) {
  return std::string(1, static_cast<char>('A' + item)) + ".wav";
}

}  // namespace

std::filesystem::path fSelInitial::ItemClip(int item) const {
  return Engine.GetFolders().InitialsFolder / LetterClip(item);
}

void fSelInitial::ChooseItem() {
  if (Answers.PickingLastInitial) {
    Answers.NewLastName = LetterClip(Item);
  } else {
    Answers.NewFirstIsInitial = true;
    Answers.NewFirstName = LetterClip(Item);
  }
  Hide();
}

bool fSelInitial::Escape() {
  if (!Answers.PickingLastInitial) Hide();
  return true;
}

}  // namespace strikora
