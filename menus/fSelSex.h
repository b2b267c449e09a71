#pragma once

#include "menus/WizardMenu.h"

namespace strikora {

// Male or female: the announcer's lines for the bowler follow it.
class fSelSex final : public WizardMenu {
 public:
  fSelSex(SoundEngine& engine, NewPlayer& answers)
      : WizardMenu(engine, "Are you male or female?", 2, answers) {}

 protected:
  [[nodiscard]] std::string PromptClip() const override { return "morf.wav"; }
  [[nodiscard]] std::filesystem::path ItemClip(int item) const override {
    return MenuClip(item == 1 ? "female.wav" : "male.wav");
  }
  void ChooseItem() override {
    Answers.NewFemale = Item == 1;
    Hide();
  }
};

}  // namespace strikora
