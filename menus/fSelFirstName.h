#pragma once

#include "menus/ListOrder.h"
#include "menus/WizardMenu.h"
#include "players/Roster.h"

namespace strikora {

// The recorded first names, in the order names.dat gives them; Page Up and Page Down jump ten
// names, Escape goes back to the first-name question without a choice.
class fSelFirstName final : public WizardMenu {
 public:
  fSelFirstName(SoundEngine& engine, NewPlayer& answers, const Roster& roster)
      : WizardMenu(engine, "Select a First Name?", 0, answers), roster_(roster) {}

  [[nodiscard]] int ItemCount() const override { return roster_.FirstNameCount(); }
  [[nodiscard]] const ListOrderTable& ListOrder() const { return listOrder_; }

 protected:
  bool StartFocus() override;
  [[nodiscard]] std::string PromptClip() const override { return ""; }
  [[nodiscard]] std::filesystem::path ItemClip(int item) const override;
  void ChooseItem() override;
  [[nodiscard]] bool Escape() override {
    Hide();
    return true;
  }
  KeyAction ExtraKey(int KeyCode) override;

 private:
  [[nodiscard]] const std::string& NameAt(int item) const;

  const Roster& roster_;
  // Position j of the list speaks catalogue entry listOrder_[j]; 0 is an empty item. Kept
  // from one showing to the next, as a short names.dat leaves the rest as it was.
  ListOrderTable listOrder_{};
};

}  // namespace strikora
