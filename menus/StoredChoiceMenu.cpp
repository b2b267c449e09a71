#include "menus/StoredChoiceMenu.h"

#include <charconv>

namespace strikora {
namespace {

constexpr const char* kApp = "KORVELDA";
constexpr const char* kSection = "Menu";

}  // namespace

StoredChoiceMenu::StoredChoiceMenu(SoundEngine& engine, GameSession& session, std::string caption,
                                   int itemCount, std::string settingsKey, std::string promptClip)
    : SpokenMenu(engine, std::move(caption), itemCount),
      Session(session),
      settingsKey_(std::move(settingsKey)),
      promptClip_(std::move(promptClip)) {}

int StoredChoiceMenu::StoredItem() const {
  // The store is a file a person can edit: anything but one of this menu's items starts it
  // on its first item rather than on an item it does not have.
  const std::string text =
      Engine.GetPlatform().Settings.GetSetting(kApp, kSection, settingsKey_, "0");
  int item = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), item);
  if (ec != std::errc() || end != text.data() + text.size()) return 0;
  return item >= 0 && item < ItemCount() ? item : 0;
}

void StoredChoiceMenu::ChooseItem() {
  Apply(Item);
  Engine.GetPlatform().Settings.SaveSetting(kApp, kSection, settingsKey_, std::to_string(Item));
  Session.MenuAccepted = true;
  Hide();
}

void StoredChoiceMenu::LeaveMenu() {
  Session.MenuAccepted = false;
  Hide();
}

}  // namespace strikora
