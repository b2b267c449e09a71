#include "platform/PlatformError.h"

#include <exception>
#include <filesystem>
#include <system_error>

namespace strikora {

std::string_view DefaultDescription(ErrorCode code) {
  switch (code) {
    case ErrorCode::InvalidCall:
      return "Invalid procedure call or argument";
    case ErrorCode::OutOfRange:
      return "Subscript out of range";
    case ErrorCode::FileNotFound:
      return "File not found";
    case ErrorCode::FileAccess:
      return "Path/File access error";
    case ErrorCode::BadFileFormat:
      return "Bad file format";
    case ErrorCode::DeviceUnavailable:
      return "Sound or display device unavailable";
    case ErrorCode::AudioFailure:
      return "The sound device refused the operation";
    case ErrorCode::MusicFailure:
      return "The music player refused the operation";
  }
  return "Unknown error";
}

ErrorInfo ErrorInfo::FromCurrentException() {
  try {
    throw;
  } catch (const PlatformError& e) {
    return {e.Number(), e.what()};
  } catch (const std::filesystem::filesystem_error& e) {
    return {static_cast<int>(ErrorCode::FileAccess), e.what()};
  } catch (const std::out_of_range& e) {
    return {static_cast<int>(ErrorCode::OutOfRange), e.what()};
  } catch (const std::system_error& e) {
    return {static_cast<int>(ErrorCode::FileAccess), e.what()};
  } catch (const std::exception& e) {
    return {static_cast<int>(ErrorCode::InvalidCall), e.what()};
  }
}

}  // namespace strikora
