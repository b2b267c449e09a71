#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace strikora {

// Every failure the platform layer reports, with the number the error log writes for it.
// The numbers follow the run-time error numbers the game's players know from its first
// version, so a log from either reads the same.
enum class ErrorCode : int {
  InvalidCall = 5,          // a call that makes no sense in the current state
  OutOfRange = 9,           // an index, slot or number outside what the game allows
  FileNotFound = 53,        // a clip, pack, MP3 or roster that is not on disk
  FileAccess = 75,          // a file or folder that exists but cannot be read or written
  BadFileFormat = 321,      // a file that is not the audio (or record) it claims to be
  DeviceUnavailable = 429,  // the sound device, window or keyboard could not be opened
  AudioFailure = 5000,      // the sound device refused an operation on a buffer
  MusicFailure = 5001,      // the MP3 player refused an operation
};

// The description the log writes beside each number, when the failure brings none of its own.
[[nodiscard]] std::string_view DefaultDescription(ErrorCode code);

class PlatformError : public std::runtime_error {
 public:
  PlatformError(ErrorCode code, const std::string& description)
      : std::runtime_error(description), code_(code) {}
  [[nodiscard]] ErrorCode Code() const { return code_; }
  [[nodiscard]] int Number() const { return static_cast<int>(code_); }

 private:
  ErrorCode code_;
};

// What the error log records of a failure: its number and its description.
struct ErrorInfo {
  int Number = 0;
  std::string Description;

  // Reads the failure being handled; call only from inside a catch block.
  [[nodiscard]] static ErrorInfo FromCurrentException();
};

// Where trapped failures go (the error log, in the game).
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  // where: the full path of the clip in hand, or the name of the procedure.
  virtual void LogError(std::string_view where, const ErrorInfo& error) = 0;
};

}  // namespace strikora
