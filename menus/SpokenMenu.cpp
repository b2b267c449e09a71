#include "menus/SpokenMenu.h"

#include "platform/Keys.h"

namespace strikora {

SpokenMenu::SpokenMenu(SoundEngine& engine, std::string caption, int itemCount, int silenceMask)
    : Form(engine.GetPlatform().Windows, std::move(caption)),
      Engine(engine),
      itemCount_(itemCount),
      silenceMask_(silenceMask) {}

void SpokenMenu::Form_GotFocus() {
  if (Engine.Busy) return;
  PlayPrompt();
  SpeakItem();
}

void SpokenMenu::Form_KeyDown(int KeyCode, int Shift) {
  if (Engine.Busy) return;
  if ((Shift & silenceMask_) != 0) {
    Engine.StopSpeech();
    return;
  }
  if (StopsSpeechOnKey(KeyCode)) Engine.StopSpeech();
  switch (KeyCode) {
    case vk::Up:
      --Item;
      break;
    case vk::Down:
      ++Item;
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
      Escape();
      return;
    default:
      break;
  }
  if (Item < 0) Item = static_cast<std::int16_t>(itemCount_ - 1);
  if (Item > itemCount_ - 1) Item = 0;
  Engine.RestoreMusic();
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

}  // namespace strikora
