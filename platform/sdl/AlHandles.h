#pragma once

#include "platform/sdl/UniqueHandle.h"

// The OpenAL sources and buffers the sound backend owns, each in a move-only owner that releases it
// once. Nothing here pulls in an OpenAL header: code that only builds the backend never sees one.

namespace strikora::sdl {

// Sources and buffers need their context current when they go.
void DeleteAlSource(unsigned source);
void DeleteAlBuffer(unsigned buffer);

using AlSource = UniqueHandle<unsigned, &DeleteAlSource>;
using AlBuffer = UniqueHandle<unsigned, &DeleteAlBuffer>;

// Throw PlatformError(AudioFailure) when the context refuses.
[[nodiscard]] AlSource MakeAlSource();
[[nodiscard]] AlBuffer MakeAlBuffer();

}  // namespace strikora::sdl
