#include "menus/fMain.h"

#include "platform/Keys.h"

namespace strikora {

fMain::fMain(SoundEngine& engine, MainMenuHost& host, GameSession& session)
    : SpokenMenu(engine, "Main Menu:", 7), host_(host), session_(session) {}

void fMain::PlayPrompt() {
  Engine.PlaySilence(10);
  SpeakClip(MenuClip("psao.wav"));
}

void fMain::SpeakMainMenuItem() {
  switch (Item) {
    case kStartGame:
      SpeakClip(MenuClip("lgb.wav"));
      break;
    case kCreatePlayer:
      SpeakClip(MenuClip("create.wav"));
      break;
    case kViewPlayers:
      SpeakClip(MenuClip("vps.wav"));
      break;
    case kHandicap:
      // Two clips heard as one: no key may cut in between them.
      Engine.DuckMusic();
      Engine.Busy = true;
      Engine.PlayAndWait(MenuClip("uh.wav"));
      Engine.PlayAndWait(MenuClip(session_.UseHandicap ? "on.wav" : "off.wav"));
      Engine.Busy = false;
      Engine.RestoreMusic();
      break;
    case kSpeakerTest:
      SpeakClip(MenuClip("spkrtest.wav"));
      break;
    case kOptions:
      SpeakClip(MenuClip("options.wav"));
      break;
    case kQuit:
      SpeakClip(MenuClip("lta.wav"));
      break;
    default:
      break;
  }
}

void fMain::DoMainMenuItem() {
  switch (Item) {
    case kStartGame:
      host_.StartGame();
      break;
    case kCreatePlayer:
      host_.CreatePlayer();
      break;
    case kViewPlayers:
      host_.ShowViewPlayers();
      break;
    case kHandicap:
      session_.UseHandicap = !session_.UseHandicap;
      Speak();
      break;
    case kSpeakerTest:
      break;  // the clip itself was the test
    case kOptions:
      host_.ShowOptions();
      break;
    case kQuit:
      Quit();
      break;
    default:
      break;
  }
}

bool fMain::Escape() {
  Item = kQuit;
  Quit();
  return true;
}

void fMain::Quit() {
  Engine.Busy = true;
  Engine.StopBackground();
  Engine.PlayAndWait(MenuClip("end.wav"));
  host_.ExitProgram();
}

}  // namespace strikora
