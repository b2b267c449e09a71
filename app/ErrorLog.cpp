#include "app/ErrorLog.h"

#include <exception>
#include <fstream>

#include "audio/SoundEngine.h"

namespace strikora {

std::string ErrorRecordHeading(int number, const LocalTime& when, std::string_view where) {
  return "QBX-ErrCode " + std::to_string(number) + " - " + std::to_string(when.Day) + "/" +
         std::to_string(when.Month) + "/" + std::to_string(when.Year) + " - " +
         std::to_string(when.Hour) + ":" + std::to_string(when.Minute) + " [" + std::string(where) +
         "]";
}

ErrorLog::ErrorLog(std::filesystem::path logFile, std::filesystem::path buzzerFile,
                   const Clock& clock, SoundTrace& trace, SoundEngine& engine)
    : logFile_(std::move(logFile)),
      buzzerFile_(std::move(buzzerFile)),
      clock_(clock),
      trace_(trace),
      engine_(engine) {}

void ErrorLog::Record(std::string_view where, const ErrorInfo& error) {
  trace_.Error(error.Number, std::string(where));
  const std::string text = "\"" + ErrorRecordHeading(error.Number, clock_.Now(), where) +
                           "\"\r\n\"" + error.Description + "\"\r\n\" \"\r\n";
  try {
    std::ofstream out(logFile_, std::ios::binary | std::ios::app);
    out << text;
    out.flush();
  } catch (const std::exception&) {
    // Nothing more can be done about a log that cannot be written; the buzzer still sounds.
  }
}

void ErrorLog::LogError(std::string_view where, const ErrorInfo& error) {
  Record(where, error);
  SoundBuzzer();
}

void ErrorLog::SoundBuzzer() {
  try {
    engine_.PlayClipAndWait(engine_.SpeechBuffer, buzzerFile_);
  } catch (const std::exception&) {
    // Recorded once more, and no further buzzer: a missing buzzer must not log itself forever.
    Record(buzzerFile_.string(), ErrorInfo::FromCurrentException());
  }
}

}  // namespace strikora
