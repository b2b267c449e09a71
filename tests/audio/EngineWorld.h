#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/ErrorLog.h"
#include "audio/SoundEngine.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/TestSoundTree.h"

namespace strikora::testing {

// A sound engine on the simulated desktop over a fresh stand-in sound tree, with the error log
// wired in as the game wires it: every clip 400 ms, silence.wav 100 ms, every MP3 3 s.
struct EngineWorld {
  EngineWorld() {
    engine.SetErrorReporter(&log);
    sim.platform.Windows.SetErrorReporter(&log);
  }
  ~EngineWorld() {
    sim.platform.Windows.SetErrorReporter(nullptr);
    engine.SetErrorReporter(nullptr);
  }

  TempDir dir;
  TestSoundTree tree{dir.Path()};
  const Folders& F = tree.F;
  sim::SimPlatform sim;
  sim::SimWorld& world = sim.world;
  SoundEngine engine{sim.platform, tree.F};
  ErrorLog log{tree.F.DataFolder / "qbxerr.log", tree.F.PlayFolder / "buzzer.wav",
               sim.platform.Time, sim.platform.Trace, engine};

  [[nodiscard]] std::int64_t Now() const { return world.MonotonicMs(); }
  void Push(std::initializer_list<double> draws) {
    for (const double r : draws) sim.random.Push(r);
  }
  // What was heard, as trace lines without their time and each file by its name alone:
  // "play SpeechBuffer lgb.wav 0 0 0", "stop SpeechBuffer", "error 53 nosuch.wav".
  [[nodiscard]] std::vector<std::string> Heard() const {
    std::vector<std::string> out;
    for (const TraceEvent& e : sim.platform.Trace.Events()) {
      if (std::string(" play stop volume pan error ").find(" " + e.Kind + " ") == std::string::npos)
        continue;
      out.push_back(e.Kind);
      for (const std::string& f : e.Fields) out.back() += " " + Name(f);
    }
    return out;
  }
  // The files played on one slot, by name alone.
  [[nodiscard]] std::vector<std::string> PlaysOn(const std::string& slot) const {
    std::vector<std::string> out;
    for (const TraceEvent& e : sim.platform.Trace.Events())
      if (e.Kind == "play" && e.Fields[0] == slot) out.push_back(Name(e.Fields[1]));
    return out;
  }
  static std::string Name(const std::string& f) {
    return f.find('/') == std::string::npos ? f : std::filesystem::path(f).filename().string();
  }
};

}  // namespace strikora::testing
