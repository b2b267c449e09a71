#pragma once

#include <string>

namespace strikora {

// The new-bowler wizard's answers, from its first question until the bowler is saved.
// Names are clip file names: a recorded first name "fn17.wav" or an initial "K.wav".
struct NewPlayer {
  std::string NewFirstName;
  bool NewFirstIsInitial = false;  // NewFirstName is an initial clip, not a recorded name
  std::string NewLastName;
  bool NewFemale = false;
  bool NewLefthanded = false;
  bool PickingLastInitial = false;  // the initials list is asking for the last initial
};

}  // namespace strikora
