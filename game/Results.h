#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/NameSpeech.h"
#include "audio/SoundEngine.h"
#include "game/fMainPlay.h"
#include "players/Roster.h"
#include "session/GameSession.h"

namespace strikora {

// The end of a game: the lane closes, every bowler's game is stored in the roster file while
// the closing music plays, and the standings are told from the last place up to the winner,
// with ties, cheers, handicaps and perfect games, as often as the bowler asks.
class Results {
 public:
  Results(SoundEngine& engine, Roster& roster, GameSession& session, NameSpeech& names,
          fMainPlay& lane);

  void AnnounceResults();

 private:
  // Each bowler's handicap from the games before this one: a bowler's first game at this play
  // method and skill is bowled scratch.
  void TakeHandicaps();
  void SaveGames();
  void AnnounceStandings(const std::vector<std::int16_t>& scores);
  // The crowd's applause; above the last place, single cheers from around the hall over it.
  void Cheer(const std::string& applause, bool withCheers);
  void SpeakNumber(int n);
  [[nodiscard]] std::int16_t ScoreOf(int player) const;
  [[nodiscard]] std::int16_t HandicapOf(int player) const;

  SoundEngine& engine_;
  Roster& roster_;
  GameSession& session_;
  NameSpeech& names_;
  fMainPlay& lane_;
  std::vector<std::int16_t> handicaps_;  // by roster slot, taken before the games are stored
};

}  // namespace strikora
