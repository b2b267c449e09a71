#include "platform/sdl/AlHandles.h"

#include <AL/al.h>

#include <string>
#include <type_traits>

#include "platform/PlatformError.h"

namespace strikora::sdl {

static_assert(std::is_same_v<ALuint, unsigned>, "source and buffer names are held as unsigned");

void DeleteAlSource(unsigned source) {
  // A playing source must stop before its buffers can be let go.
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, 0);
  alDeleteSources(1, &source);
}

void DeleteAlBuffer(unsigned buffer) {
  alDeleteBuffers(1, &buffer);
}

AlSource MakeAlSource() {
  alGetError();
  ALuint id = 0;
  alGenSources(1, &id);
  if (const ALenum err = alGetError(); err != AL_NO_ERROR) {
    throw PlatformError(ErrorCode::AudioFailure,
                        std::string("The sound device has no voice left: ") + alGetString(err));
  }
  return AlSource(id);
}

AlBuffer MakeAlBuffer() {
  alGetError();
  ALuint id = 0;
  alGenBuffers(1, &id);
  if (const ALenum err = alGetError(); err != AL_NO_ERROR) {
    throw PlatformError(
        ErrorCode::AudioFailure,
        std::string("The sound device cannot hold another clip: ") + alGetString(err));
  }
  return AlBuffer(id);
}

}  // namespace strikora::sdl
