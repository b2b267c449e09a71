#pragma once

#include <array>
#include <string_view>

#include "audio/NameSpeech.h"
#include "audio/SoundEngine.h"
#include "game/Announcer.h"
#include "platform/WindowSystem.h"
#include "players/Roster.h"
#include "session/GameSession.h"

namespace strikora {

class Delivery;

// The lane: the window the bowler plays in, by ear and keyboard only. Its key handler releases
// the ball, answers the lane's yes/no questions, speaks the reports (help, pins, scores, last
// aim, time), sets the alley's level and the music's speed, and lets the bowler leave. Its
// timers keep the alley alive around the bowler, remind an idle bowler, and read the hook keys
// while the ball leaves the hand.
//
// Built once with the game and hidden between games; the timers run only while a game does.
class fMainPlay final : public Form {
 public:
  fMainPlay(SoundEngine& engine, Roster& roster, GameSession& session, Announcer& announcer,
            NameSpeech& names);

  // The delivery that the aim and swing keys release; set once when the game is wired.
  void AttachDelivery(Delivery& delivery) { delivery_ = &delivery; }

  void Form_KeyDown(int KeyCode, int Shift) override;
  // A held key's auto-repeat must not act again: a held Space would stop the sweep it started.
  [[nodiscard]] bool TakesAutoRepeat() const override { return false; }

  // Frame points of a bowler (index 1..PlayerCount) for frame 1..10.
  void SpeakFrameScore(int player, int frame);
  // The running total of the bowler up, leaving out frames whose strike bonus is still open.
  void SpeakGameScore();

  // Asks a yes/no question on the lane (a clip of the announce folder, "\leave.wav"), then
  // "Y or N", and waits for the answer; Y is true.
  bool AskYesNo(std::string_view question);

  // The alley's own sounds (ambience, the crowd's ohs, pins on other lanes) together.
  void EnableAlleyTimers(bool enabled);
  // Every timer of the lane off, and the hook window shut: the lane goes quiet.
  void StopTimers();
  // While the ball leaves the hand, tmrHook adds a held Shift key to the hook every 10 ms; the
  // timer runs only then.
  void OpenHookWindow();
  void CloseHookWindow();

  void tmrAmbient_Timer(int Index);
  void tmrBowlSounds_Timer();
  void tmrHook_Timer();
  void tmrImpatient_Timer();
  void tmrOHS_Timer();

  std::array<Timer, 3> tmrAmbient;
  Timer tmrBowlSounds;
  Timer tmrOHS;
  Timer tmrHook;
  Timer tmrImpatient;  // its Tag counts the reminders 1..7, across turns and games

 private:
  // The lane's own keys while it waits for Space or Enter.
  void LaneKey(int KeyCode);
  // Runs the delivery from a release key; a fault in it ends the game.
  template <typename Body>
  void Deliver(Body body);
  // A spoken report: Busy while it runs, cleared however it ends; a failure is logged under
  // the report's name and the lane listens again.
  template <typename Body>
  void Report(const char* name, Body body);
  void SetAlleyLevel(int level);
  void ChangeMusicSpeed(int KeyCode);
  void AskToLeave();

  SoundEngine& engine_;
  Roster& roster_;
  GameSession& session_;
  Announcer& announcer_;
  NameSpeech& names_;
  Delivery* delivery_ = nullptr;
};

}  // namespace strikora
