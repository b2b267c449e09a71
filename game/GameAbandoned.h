#pragma once

namespace strikora {

// Thrown when the bowler leaves the game with Escape and Y: it unwinds every wait of the
// abandoned game at once and is caught where the game started. Deliberately not a
// std::exception, so that no failure trap on the way takes it for a fault.
struct GameAbandoned {};

}  // namespace strikora
