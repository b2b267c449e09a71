#pragma once

#include <exception>

namespace strikora {

// Thrown when the bowler leaves the game with Escape and Y: it unwinds every wait of the
// abandoned game at once and is caught where the game started. Deliberately not a
// std::exception, so that no failure trap on the way takes it for a fault.
struct GameAbandoned {};

// A fault in a delivery, carried out of the stop key's handler to the frame loop: the turn
// cannot go on with its ball half bowled, so the game ends as for any fault of the frame loop.
// Not a std::exception either, so that the key handler's own trap lets it through.
struct DeliveryFault {
  std::exception_ptr Cause;
};

}  // namespace strikora
