#include "menus/SpokenMenu.h"

namespace strikora {

SpokenMenu::SpokenMenu(SoundEngine& engine, std::string caption, int itemCount)
    : Form(engine.GetPlatform().Windows, std::move(caption)),
      Engine(engine),
      itemCount_(itemCount) {}

void SpokenMenu::Form_GotFocus() {
  if (Engine.Busy) return;
  if (!StartFocus()) return;
  // Keys act while the prompt is heard. One that closed the window, or spoke an item of its
  // own, has already said what comes next: the item must not follow over it.
  const unsigned before = itemsSpoken_;
  PlayPrompt();
  if (Windows().ActiveForm() != this || itemsSpoken_ != before) return;
  Speak();
}

void SpokenMenu::Form_KeyDown(int KeyCode, int Shift) {
  if (Engine.Busy) {
    KeyWhileBusy(KeyCode, Shift);
    return;
  }
  if (OnlySilences(Shift)) {
    Engine.StopSpeech();
    SpeechCut();
    return;
  }
  if (StopsSpeechOnKey(KeyCode)) {
    Engine.StopSpeech();
    SpeechCut();
  }
  bool moved = false;
  switch (ExtraKey(KeyCode)) {
    case KeyAction::Done:
      return;
    case KeyAction::Moved:
      moved = true;
      break;
    case KeyAction::NotTaken:
      break;
  }
  if (!moved) {
    switch (KeyCode) {
      case vk::Up:
        --Item;
        moved = true;
        break;
      case vk::Down:
        ++Item;
        moved = true;
        break;
      case vk::Enter:
        ChooseItem();
        return;
      case vk::Space:
        if (TakesSpace()) {
          ChooseItem();
          return;
        }
        break;
      case vk::F12:
        Engine.SpeakTime();
        return;
      case vk::Escape:
        if (Escape()) return;
        break;
      default:
        break;
    }
  }
  if (!moved && !RepeatsOnOtherKey()) return;
  const int count = ItemCount();
  if (Item < 0) Item = static_cast<std::int16_t>(count - 1);
  if (Item > count - 1) Item = 0;
  Engine.RestoreMusic();
  Speak();
}

void SpokenMenu::Speak() {
  ++itemsSpoken_;
  SpeakItem();
}

void SpokenMenu::Form_LostFocus() {
  Engine.RestoreMusic();
  Engine.StopSpeech();
}

void SpokenMenu::SpeakClip(const std::filesystem::path& clip) {
  Engine.DuckMusic();
  Engine.PlayAndWait(clip);
  Engine.RestoreMusic();
}

std::filesystem::path SpokenMenu::MenuClip(const std::string& name) const {
  return Engine.GetFolders().MenuFolder / name;
}

}  // namespace strikora
