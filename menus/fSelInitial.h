#pragma once

#include "menus/WizardMenu.h"

namespace strikora {

// The letters A to Z, for a first initial (shown over the first-name question, Escape goes
// back to it) or for the last initial (Escape does nothing: every bowler needs one).
class fSelInitial final : public WizardMenu {
 public:
  fSelInitial(SoundEngine& engine, NewPlayer& answers)
      : WizardMenu(engine, "Select an Initial", 26, answers) {}

 protected:
  [[nodiscard]] std::string PromptClip() const override {
    return Answers.PickingLastInitial ? "wyln.wav" : "";
  }
  [[nodiscard]] std::filesystem::path ItemClip(int item) const override;
  void ChooseItem() override;
  [[nodiscard]] bool Escape() override;
};

}  // namespace strikora
