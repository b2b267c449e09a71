#pragma once

#include <memory>

#include "audio/NameSpeech.h"
#include "audio/SoundEngine.h"
#include "commentary/Commentary.h"
#include "game/Announcer.h"
#include "game/Delivery.h"
#include "game/Pinfall.h"
#include "game/Results.h"
#include "game/fMainPlay.h"
#include "platform/WindowSystem.h"
#include "players/Roster.h"
#include "session/GameSession.h"

namespace strikora {

// The windows a game passes through on its way from the main menu and back.
struct GameWindows {
  Form& Main;           // fMain: hidden while a game runs, shown again after it
  Form& SelPlayers;     // today's bowlers; each option menu sets MenuAccepted when it closes
  Form& SelPlayMethod;  // aim only, or aim and swing
  Form& SelSkill;       // skill 1..5
};

// A game of ten frames, from the main menu's first item back to it: the options, the lane,
// the frame loop with every active bowler's turn, the sponsor break after frame 5, and the
// results. Lives for the whole run; the lane is built with it and hidden between games.
class Game final : private TurnFlow {
 public:
  Game(SoundEngine& engine, Roster& roster, GameSession& session, Commentary& commentary,
       NameSpeech& names, GameWindows windows);
  // With another announcer in the commentary's place.
  Game(SoundEngine& engine, Roster& roster, GameSession& session, Announcer& announcer,
       NameSpeech& names, GameWindows windows);
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;
  ~Game();

  // Called from the main menu's modal loop. Returns with the main menu shown again (not
  // modal: its own loop goes on), whether the bowler backed out of the first option menu,
  // finished the game, left it with Escape and Y, or a fault ended it.
  void StartGame();
  // The frame loop: frames 1..10, each active bowler in roster order, then the results.
  void TheGameSub();
  // Goes on with the current bowler's turn: announces and waits for the next ball, or returns
  // when the turn is over (two balls, a strike, or the tenth frame's extra balls).
  void NextBall() override;
  // After frame 5: the sponsor's advert, chosen by the clock's minute.
  void PlayAdvertBreak();

  [[nodiscard]] fMainPlay& Lane() { return lane_; }
  [[nodiscard]] Delivery& GetDelivery() { return delivery_; }
  [[nodiscard]] Results& GetResults() { return results_; }

 private:
  Game(SoundEngine& engine, Roster& roster, GameSession& session, std::unique_ptr<Announcer> owned,
       Announcer* borrowed, NameSpeech& names, GameWindows windows);

  // The three option menus in turn; Escape steps back one. False when the bowler backed out
  // of the first.
  bool ChooseOptions();
  // No flag of an earlier game, or of a fault, carries over.
  void ClearFlags();
  // Timers off, lane hidden, menu music, main menu back: on every way out of a game.
  void CloseLane();

  SoundEngine& engine_;
  Roster& roster_;
  GameSession& session_;
  std::unique_ptr<Announcer> ownAnnouncer_;
  Announcer& announcer_;
  GameWindows windows_;
  Pinfall pinfall_;
  fMainPlay lane_;
  Delivery delivery_;
  Results results_;
};

}  // namespace strikora
