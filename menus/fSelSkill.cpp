#include "menus/fSelSkill.h"

#include <string>

namespace strikora {

void fSelSkill::SpeakItem() {
  Interrupted = false;
  const int i = Item;
  const unsigned mine = ++spoken_;
  const std::string level = std::to_string(i + 1);
  Engine.DuckMusic();
  Engine.PlayAndWait(MenuClip("l" + level + ".wav"));
  if (Item == i && !Interrupted && spoken_ == mine) {
    Engine.PlayAndWait(MenuClip("ld" + level + ".wav"));
  }
  Engine.RestoreMusic();
}

}  // namespace strikora
