#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "audio/SoundEngine.h"
#include "platform/Keys.h"
#include "platform/WindowSystem.h"

namespace strikora {

// The shape every spoken menu shares: on gaining the focus it plays its prompt over lowered
// music and speaks the current item; arrows move through the items and wrap both ways; Enter
// chooses; F12 tells the time; Ctrl alone only silences; any other key repeats the current
// item; while a spoken sequence runs (Busy) keys and focus prompts are ignored. Each window
// states where it differs through the small overrides below.
class SpokenMenu : public Form {
 public:
  SpokenMenu(SoundEngine& engine, std::string caption, int itemCount);

  void Form_GotFocus() override;
  void Form_KeyDown(int KeyCode, int Shift) override;
  void Form_LostFocus() override;

  // The current item, 0-based.
  std::int16_t Item = 0;
  [[nodiscard]] virtual int ItemCount() const { return itemCount_; }

 protected:
  // What a window's own key did.
  enum class KeyAction {
    NotTaken,  // the common keys decide
    Moved,     // the item changed (or is to be said again): wrap and speak it
    Done,      // acted, and nothing more is said
  };

  // Gaining the focus, before the prompt: sets the item the window starts on. False when the
  // window closed (or spoke) instead, so that neither the prompt nor the item follows.
  virtual bool StartFocus() { return true; }
  // The prompt heard on gaining the focus.
  virtual void PlayPrompt() = 0;
  virtual void SpeakItem() = 0;
  virtual void ChooseItem() = 0;
  // Escape's own rule. False when Escape is no key of its own here: it repeats the item like
  // any other key.
  [[nodiscard]] virtual bool Escape() = 0;

  // Whether this modifier state (1 Shift, 2 Ctrl, 4 Alt) only silences the speech: Ctrl alone
  // in every window unless it says otherwise. Ctrl+Alt+key is not Ctrl alone.
  [[nodiscard]] virtual bool OnlySilences(int Shift) const { return Shift == mod::Ctrl; }
  // Whether the key cuts the clip in progress before it is handled.
  [[nodiscard]] virtual bool StopsSpeechOnKey(int KeyCode) const {
    (void)KeyCode;
    return true;
  }
  // A key just cut the speech (a silencing press, or a key that stops the speech first).
  virtual void SpeechCut() {}
  // A key while a spoken sequence holds Busy: ignored unless the window says otherwise.
  virtual void KeyWhileBusy(int KeyCode, int Shift) {
    (void)KeyCode;
    (void)Shift;
  }
  // Whether Space chooses like Enter.
  [[nodiscard]] virtual bool TakesSpace() const { return false; }
  // The window's own keys, looked at before the common ones.
  virtual KeyAction ExtraKey(int KeyCode) {
    (void)KeyCode;
    return KeyAction::NotTaken;
  }
  // Whether a key with no meaning here repeats the current item, or does nothing at all.
  [[nodiscard]] virtual bool RepeatsOnOtherKey() const { return true; }

  // Speaks the current item, and counts it, so that a prompt a key cut into knows the item was
  // said meanwhile.
  void Speak();
  // One clip of this menu, spoken over lowered music.
  void SpeakClip(const std::filesystem::path& clip);
  // A clip of the menu folder by its file name.
  [[nodiscard]] std::filesystem::path MenuClip(const std::string& name) const;

  SoundEngine& Engine;

 private:
  int itemCount_;
  unsigned itemsSpoken_ = 0;
};

// Holds Busy for a spoken sequence that no key may cut into, and gives back what was there
// before, also when a clip fails: a menu left Busy would never hear a key again.
class BusyScope {
 public:
  explicit BusyScope(SoundEngine& engine) : engine_(engine), was_(engine.Busy) {
    engine_.Busy = true;
  }
  ~BusyScope() { engine_.Busy = was_; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  SoundEngine& engine_;
  bool was_;
};

}  // namespace strikora
