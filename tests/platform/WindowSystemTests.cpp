// Forms, focus, modal loops and timers on the simulated desktop: the ground every screen of
// the game stands on.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "platform/sim/SimPlatform.h"

namespace strikora {
namespace {

using Lines = std::vector<std::string>;

struct Logged final : Form {
  Logged(WindowSystem& w, std::string caption, Lines& log)
      : Form(w, std::move(caption)), Log(log) {}
  [[nodiscard]] bool TakesAutoRepeat() const override { return Repeats; }
  void Form_GotFocus() override { Log.push_back(Caption() + " got"); }
  void Form_LostFocus() override { Log.push_back(Caption() + " lost"); }
  void Form_KeyDown(int KeyCode, int Shift) override {
    Log.push_back(Caption() + " key " + std::to_string(KeyCode) + "/" + std::to_string(Shift));
    if (OnKey) OnKey(KeyCode);
  }
  Lines& Log;
  std::function<void(int)> OnKey;
  bool Repeats = true;
};

class Windows : public ::testing::Test {
 protected:
  sim::SimPlatform sim;
  WindowSystem& windows = sim.platform.Windows;
  Lines log;
};

TEST_F(Windows, HidingActivatesTheOwnerElseTheMostRecentVisibleForm) {
  Logged a(windows, "A", log), b(windows, "B", log), c(windows, "C", log);
  a.Show();
  b.Show();
  c.Show(ShowMode::Modeless, &a);
  windows.DoEvents();
  EXPECT_EQ(sim.world.Title(), "C");
  c.Hide();  // its owner A comes back, though B was active more recently
  windows.DoEvents();
  EXPECT_EQ(windows.ActiveForm(), &a);
  EXPECT_EQ(sim.world.Title(), "A");
  a.Hide();  // no owner: the most recently active visible form
  windows.DoEvents();
  EXPECT_EQ(windows.ActiveForm(), &b);
  // A form that gained and lost the focus before events were pumped never hears the gain, so
  // that it does not start its prompt; it still hears the loss, which only silences.
  EXPECT_EQ(log, (Lines{"A lost", "B lost", "C got", "C lost", "A got", "A lost", "B got"}));
}

TEST_F(Windows, KeysGoToTheActiveFormAndAModalShowReturnsWhenItsFormHides) {
  Logged menu(windows, "Menu", log), dialog(windows, "Dialog", log);
  menu.OnKey = [&](int key) {
    if (key == vk::Enter) dialog.Show(ShowMode::Modal, &menu);  // nested loop
    if (key == vk::Escape) menu.Hide();
  };
  dialog.OnKey = [&dialog](int key) {
    if (key == vk::Escape) dialog.Hide();
  };
  menu.Repeats = false;  // as the lane: a held key is one press
  sim.world.PressKeyAt(5, vk::Down, 0, true);
  sim.world.PressKeyAt(10, vk::Enter);
  sim.world.PressKeyAt(20, vk::Down);
  sim.world.PressKeyAt(25, vk::Down, 0, true);
  sim.world.PressKeyAt(30, vk::Escape);
  sim.world.PressKeyAt(40, vk::Escape, mod::Shift);
  menu.Show(ShowMode::Modal);
  EXPECT_FALSE(menu.Visible());
  EXPECT_EQ(log, (Lines{"Menu got", "Menu key 13/0", "Menu lost", "Dialog got", "Dialog key 40/0",
                        "Dialog key 40/0", "Dialog key 27/0", "Dialog lost", "Menu got",
                        "Menu key 27/1", "Menu lost"}));
  Lines trace;
  for (const TraceEvent& e : sim.platform.Trace.Events()) trace.push_back(e.Line());
  EXPECT_EQ(trace, (Lines{"0\tfocus\tMenu", "5\tkey\t40\t0", "10\tkey\t13\t0", "10\tfocus\tDialog",
                          "20\tkey\t40\t0", "25\tkey\t40\t0", "30\tkey\t27\t0", "30\tfocus\tMenu",
                          "40\tkey\t27\t1"}));
}

TEST_F(Windows, ATimerNeverFiresInsideItsOwnHandlerAndKeepsItsInterval) {
  Timer tick(windows, "tmrTick");
  std::vector<std::int64_t> fired;
  int depth = 0, deepest = 0;
  tick.OnTimer = [&] {
    fired.push_back(sim.world.MonotonicMs());
    deepest = std::max(deepest, ++depth);
    // A handler that pumps events for 250 ms, as a spoken clip would.
    const std::int64_t until = sim.world.MonotonicMs() + 250;
    Timer pause(windows);
    pause.SetInterval(250);
    pause.SetEnabled(true);
    windows.WaitUntil([&] { return sim.world.MonotonicMs() >= until; }, "a pause");
    --depth;
  };
  tick.SetInterval(100);
  tick.SetEnabled(true);
  windows.WaitUntil([&] { return fired.size() >= 3; }, "three ticks");
  EXPECT_EQ(deepest, 1);
  // Due again one interval after each firing began; the one that fell due while the handler
  // ran comes as soon as it returns.
  EXPECT_EQ(fired, (std::vector<std::int64_t>{100, 350, 600}));
  tick.SetEnabled(false);
  EXPECT_THROW(windows.WaitUntil([] { return false; }, "nothing"), sim::SimStalled);
}

// Writes down each failure a handler let escape: where, and its number.
struct Reporter final : ErrorReporter {
  void LogError(std::string_view where, const ErrorInfo& e) override {
    Logged.push_back(std::string(where) + " " + std::to_string(e.Number));
  }
  Lines Logged;
};

TEST_F(Windows, AFailingHandlerIsReportedAndTheWaitGoesOnOrWithoutAReporterReachesThePump) {
  Reporter reporter;
  windows.SetErrorReporter(&reporter);
  Logged lane(windows, "Lane", log);
  lane.OnKey = [](int key) {
    if (key == vk::Delete) throw std::runtime_error("the lane lost its bowler");
    if (key == vk::End) throw PlatformError(ErrorCode::OutOfRange, "no such frame");
  };
  lane.Show();
  Timer tmrOHS(windows, "tmrOHS");
  int ticks = 0;
  tmrOHS.OnTimer = [&] {
    if (++ticks == 1) throw std::runtime_error("no crowd tonight");
  };
  tmrOHS.SetInterval(1000);
  tmrOHS.SetEnabled(true);
  sim.world.PressKeyAt(100, vk::Delete);
  sim.world.PressKeyAt(200, vk::End);
  windows.WaitUntil([&] { return ticks >= 3; }, "three ticks");
  EXPECT_EQ(reporter.Logged, (Lines{"Form_KeyDown 5", "Form_KeyDown 9", "tmrOHS 5"}));

  // Without a reporter the failure reaches whoever pumped, and the timer is not left marked as
  // running: it fires again.
  windows.SetErrorReporter(nullptr);
  ticks = 0;
  sim.world.PressKeyAfter(100, vk::Delete);
  EXPECT_THROW(windows.WaitUntil([] { return false; }, "a key"), std::runtime_error);
  EXPECT_THROW(windows.WaitUntil([&] { return ticks >= 2; }, "a tick"), std::runtime_error);
  windows.WaitUntil([&] { return ticks >= 2; }, "another tick");
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(reporter.Logged.size(), 3u);
}

}  // namespace
}  // namespace strikora
