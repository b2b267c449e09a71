#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace strikora {

enum class UnpackResult { Done, Failed, Missing };

struct UnpackHost {
  // Called before each directory record so the splash window's keys stay live.
  std::function<void()> DoEvents;
  // A failed pack: text is the length in characters of the entry name in hand, in decimal
  // ("0" when no name had been read yet). Either function may be left empty.
  std::function<void(const std::string& text)> MessageBox;
  // Called before the message box with what went wrong, in words, for the error log.
  std::function<void(const std::string& why)> Explain;
};

// Unpacks one ".des" pack into dest. dest itself is created when missing, but not its parent:
// a missing parent throws std::filesystem::filesystem_error. No entry may land outside
// soundsRoot ("..\names.dat" from the names folder lands in the sounds folder and is fine).
// Returns Missing, with no message box, when the pack file does not exist; Failed after the
// message box when an entry could not be unpacked (the files written before it stay), or when
// the file is too short to be a pack. Memory stays small whatever the pack holds or claims.
[[nodiscard]] UnpackResult UnpackSoundPack(const std::filesystem::path& pack,
                                           const std::filesystem::path& dest,
                                           const std::filesystem::path& soundsRoot,
                                           const UnpackHost& host);

}  // namespace strikora
