#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/PlatformError.h"
#include "platform/SoundTrace.h"

namespace strikora {

class SoundEngine;

// Appends a three-line record to the error log for every trapped failure and sounds the
// buzzer, so that a player who cannot see the screen notices that something went wrong.
//
// Record: "QBX-ErrCode <n> - <d>/<m>/<yyyy> - <h>:<m> [<where>]", the description, and a
// single space, each line in double quotes and ended with CR LF. The log is only appended to.
class ErrorLog final : public ErrorReporter {
 public:
  ErrorLog(std::filesystem::path logFile, std::filesystem::path buzzerFile, const Clock& clock,
           SoundTrace& trace, SoundEngine& engine);

  // where: the full path of the clip in hand, or the name of the procedure.
  void LogError(std::string_view where, const ErrorInfo& error) override;

  // Writes the record without the buzzer: for failures before the buzzer is unpacked. A log
  // that cannot be written must not stop the game: that failure is dropped after one try.
  void Record(std::string_view where, const ErrorInfo& error);

  // The buzzer alone: for failures recorded before it was unpacked.
  void SoundBuzzer();

  [[nodiscard]] const std::filesystem::path& File() const { return logFile_; }

 private:
  std::filesystem::path logFile_;
  std::filesystem::path buzzerFile_;
  const Clock& clock_;
  SoundTrace& trace_;
  SoundEngine& engine_;
};

// The first line of a record, without its quotes.
[[nodiscard]] std::string ErrorRecordHeading(int number, const LocalTime& when,
                                             std::string_view where);

}  // namespace strikora
