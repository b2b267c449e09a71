#pragma once

namespace strikora {

// Key codes are the desktop's virtual-key codes: the game's key tables are written in them.
// Letters always arrive as their upper-case code.
namespace vk {
inline constexpr int Enter = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Alt = 18;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Delete = 46;
inline constexpr int Digit0 = 48;
inline constexpr int A = 65;
inline constexpr int F1 = 112;
inline constexpr int F12 = 123;
[[nodiscard]] constexpr int Letter(char upper) {
  return upper;
}
[[nodiscard]] constexpr int Digit(int d) {
  return Digit0 + d;
}
[[nodiscard]] constexpr int F(int n) {
  return F1 + n - 1;
}
}  // namespace vk

// The modifier mask that comes with every key: 1 Shift, 2 Ctrl, 4 Alt.
namespace mod {
inline constexpr int None = 0;
inline constexpr int Shift = 1;
inline constexpr int Ctrl = 2;
inline constexpr int Alt = 4;
}  // namespace mod

// Physical keys whose held state the lane reads directly (the hook keys).
enum class HeldKey { LeftShift, RightShift };

}  // namespace strikora
