#pragma once

#include "menus/WizardMenu.h"

namespace strikora {

// Left or right hand: the pins fall for a left-hander as in a mirror.
class fBowlingHand final : public WizardMenu {
 public:
  fBowlingHand(SoundEngine& engine, NewPlayer& answers)
      : WizardMenu(engine, "What's your bowling hand?", 2, answers) {}

 protected:
  [[nodiscard]] std::string PromptClip() const override { return "sybh.wav"; }
  [[nodiscard]] std::filesystem::path ItemClip(int item) const override {
    return MenuClip(item == 0 ? "lefty.wav" : "righty.wav");
  }
  void ChooseItem() override {
    Answers.NewLefthanded = Item == 0;
    Hide();
  }
};

}  // namespace strikora
