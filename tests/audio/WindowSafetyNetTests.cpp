#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "tests/audio/EngineWorld.h"

namespace strikora {
namespace {

using testing::EngineWorld;
using Strings = std::vector<std::string>;

class FaultyForm final : public Form {
 public:
  explicit FaultyForm(WindowSystem& windows) : Form(windows, "Lane") {}
  void Form_KeyDown(int KeyCode, int /*Shift*/) override {
    ++keys;
    if (KeyCode == vk::Delete) throw std::runtime_error("the lane lost its bowler");
    if (KeyCode == vk::End) throw PlatformError(ErrorCode::OutOfRange, "no such frame");
  }
  int keys = 0;
};

TEST(WindowSafetyNet, AFailingKeyHandlerIsLoggedWithTheBuzzerAndTheWaitGoesOn) {
  EngineWorld w;
  FaultyForm form(w.sim.platform.Windows);
  form.Show();
  w.world.PressKeyWhenClipStarts("psao.wav", vk::Delete, 0, 100);
  w.world.PressKeyWhenClipStarts("psao.wav", vk::End, 0, 200);
  w.world.PressKeyWhenClipStarts("psao.wav", vk::Space, 0, 300);

  EXPECT_NO_THROW(w.engine.PlayAndWait(w.F.MenuFolder / "psao.wav"));

  EXPECT_EQ(form.keys, 3);
  const auto headings = w.LogHeadings();
  ASSERT_EQ(headings.size(), 2u);
  EXPECT_NE(headings[0].find("[Form_KeyDown]"), std::string::npos);
  EXPECT_EQ(headings[1].rfind("QBX-ErrCode 9 ", 0), 0u) << headings[1];
  EXPECT_NE(w.LogText().find("\"no such frame\"\r\n"), std::string::npos);
  // The buzzer took over the speech slot; the prompt's wait ended with it.
  EXPECT_EQ(w.Plays(), (Strings{"SpeechBuffer psao.wav", "SpeechBuffer buzzer.wav",
                                "SpeechBuffer buzzer.wav"}));
}

TEST(WindowSafetyNet, AFailingTimerIsLoggedUnderItsTagAndKeepsTicking) {
  EngineWorld w;
  Timer tmrOHS(w.sim.platform.Windows, "tmrOHS");
  int ticks = 0;
  tmrOHS.OnTimer = [&] {
    ++ticks;
    if (ticks == 1) throw std::runtime_error("no crowd tonight");
  };
  tmrOHS.SetInterval(1000);
  tmrOHS.SetEnabled(true);

  w.sim.platform.Windows.WaitUntil([&] { return ticks >= 3; });

  const auto headings = w.LogHeadings();
  ASSERT_EQ(headings.size(), 1u);
  EXPECT_NE(headings[0].find("[tmrOHS]"), std::string::npos);
  EXPECT_EQ(w.PlaysOn("SpeechBuffer"), Strings{"buzzer.wav"});
}

TEST(WindowSafetyNet, WithoutAReporterTheFailureReachesWhoeverPumpedTheEvents) {
  EngineWorld w;
  w.sim.platform.Windows.SetErrorReporter(nullptr);
  FaultyForm form(w.sim.platform.Windows);
  form.Show();
  w.world.PressKeyAt(100, vk::Delete);

  EXPECT_THROW(w.sim.platform.Windows.WaitUntil([&] { return form.keys > 0; }), std::runtime_error);
  EXPECT_EQ(form.keys, 1);
  EXPECT_TRUE(w.LogText().empty());

  // A timer that failed this way is not left marked as running: it fires again.
  Timer timer(w.sim.platform.Windows, "tmrBowlSounds");
  int ticks = 0;
  timer.OnTimer = [&] {
    if (++ticks == 1) throw std::runtime_error("first tick");
  };
  timer.SetInterval(500);
  timer.SetEnabled(true);
  EXPECT_THROW(w.sim.platform.Windows.WaitUntil([&] { return ticks >= 2; }), std::runtime_error);
  w.sim.platform.Windows.WaitUntil([&] { return ticks >= 2; });
  EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace strikora
