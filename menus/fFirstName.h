#pragma once

#include "menus/WizardMenu.h"
#include "menus/fSelFirstName.h"
#include "menus/fSelInitial.h"

namespace strikora {

// The first-name question: an initial, or a name from the list of recorded first names. Each
// opens its list over this window; once a first name is chosen this window closes as soon as
// it has the focus back, and a list left with Escape brings the question back from the top.
class fFirstName final : public WizardMenu {
 public:
  fFirstName(SoundEngine& engine, NewPlayer& answers, fSelInitial& initials,
             fSelFirstName& firstNames)
      : WizardMenu(engine, "Select a first name?", 2, answers),
        initials_(initials),
        firstNames_(firstNames) {}

  static constexpr int kInitial = 0, kFromList = 1;

 protected:
  bool StartFocus() override {
    if (!Answers.NewFirstName.empty()) {
      Hide();
      return false;
    }
    return WizardMenu::StartFocus();
  }
  [[nodiscard]] std::string PromptClip() const override { return "wyfn.wav"; }
  [[nodiscard]] std::filesystem::path ItemClip(int item) const override {
    return MenuClip(item == kFromList ? "uafn.wav" : "uai.wav");
  }
  void ChooseItem() override {
    if (Item == kFromList) {
      firstNames_.Show(ShowMode::Modal, this);
    } else {
      Answers.PickingLastInitial = false;
      initials_.Show(ShowMode::Modal, this);
    }
  }

 private:
  fSelInitial& initials_;
  fSelFirstName& firstNames_;
};

}  // namespace strikora
