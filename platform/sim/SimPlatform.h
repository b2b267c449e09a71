#pragma once

#include "platform/Platform.h"
#include "platform/sim/SimWorld.h"

namespace strikora::sim {

// The whole desktop in memory, for tests: virtual time, scripted keys and chance, in-memory
// settings, and every sound event kept in the trace.
class SimPlatform {
 public:
  SimPlatform() : platform(world, world, world, world, settings, random) {
    platform.Trace.KeepInMemory(true);
    world.DescribeWait = [this] { return std::string(platform.Windows.WaitingFor()); };
  }
  SimWorld world;
  MemorySettings settings;
  ScriptedRandom random;
  Platform platform;
};

}  // namespace strikora::sim
