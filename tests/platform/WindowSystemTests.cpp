// Forms, focus, modal loops and timers on the simulated desktop: the ground every screen of
// the game stands on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Keys.h"
#include "platform/sim/SimPlatform.h"

namespace strikora {
namespace {

// A form that writes down what happened to it.
class Logged final : public Form {
 public:
  Logged(WindowSystem& w, std::string caption, std::vector<std::string>& log)
      : Form(w, std::move(caption)), log_(log) {}
  std::function<void(int)> OnKey;
  void Form_GotFocus() override { log_.push_back(Caption() + " got"); }
  void Form_LostFocus() override { log_.push_back(Caption() + " lost"); }
  void Form_KeyDown(int KeyCode, int Shift) override {
    log_.push_back(Caption() + " key " + std::to_string(KeyCode) + "/" + std::to_string(Shift));
    if (OnKey) OnKey(KeyCode);
  }

 private:
  std::vector<std::string>& log_;
};

class Windows : public ::testing::Test {
 protected:
  sim::SimPlatform sim;
  WindowSystem& windows = sim.platform.Windows;
  std::vector<std::string> log;
};

using Lines = std::vector<std::string>;

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
  dialog.OnKey = [&](int key) {
    if (key == vk::Escape) dialog.Hide();
  };
  sim.world.PressKeyAt(10, vk::Enter);
  sim.world.PressKeyAt(20, vk::Down);
  sim.world.PressKeyAt(30, vk::Escape);
  sim.world.PressKeyAt(40, vk::Escape, mod::Shift);
  menu.Show(ShowMode::Modal);
  EXPECT_FALSE(menu.Visible());
  EXPECT_EQ(log,
            (Lines{"Menu got", "Menu key 13/0", "Menu lost", "Dialog got", "Dialog key 40/0",
                   "Dialog key 27/0", "Dialog lost", "Menu got", "Menu key 27/1", "Menu lost"}));
  Lines trace;
  for (const TraceEvent& e : sim.platform.Trace.Events()) trace.push_back(e.Line());
  EXPECT_EQ(trace, (Lines{"0\tfocus\tMenu", "10\tkey\t13\t0", "10\tfocus\tDialog", "20\tkey\t40\t0",
                          "30\tkey\t27\t0", "30\tfocus\tMenu", "40\tkey\t27\t1"}));
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

// Remembers what the window system asked of its event source.
class RecordingSource final : public EventSource {
 public:
  explicit RecordingSource(const Clock& clock) : clock_(clock) {}
  std::optional<KeyEvent> PollKey() override { return std::nullopt; }
  void WaitForEvent(std::optional<std::int64_t> nextTimerDueMs,
                    std::optional<std::int64_t> quietUntilMs) override {
    timers.push_back(nextTimerDueMs);
    quiet.push_back(quietUntilMs);
  }
  void SetTitle(const std::string&) override {}
  void ShowMessageBox(const std::string&, const std::string&) override {}
  bool IsKeyHeld(HeldKey) const override { return false; }
  std::vector<std::optional<std::int64_t>> timers, quiet;

 private:
  const Clock& clock_;
};

TEST_F(Windows, AnIdlePumpPassesOnHowLongTheWaiterCanSleep) {
  RecordingSource source(sim.world);
  SoundTrace trace(sim.world);
  WindowSystem own(source, sim.world, trace);
  sim.world.SetTimeLimit(1000000);
  own.DoEvents();
  own.DoEvents(400);
  Timer t(own);
  t.SetInterval(50);
  t.SetEnabled(true);
  own.DoEvents(400);
  const std::int64_t now = sim.world.MonotonicMs();
  EXPECT_EQ(source.quiet,
            (std::vector<std::optional<std::int64_t>>{std::nullopt, now + 400, now + 400}));
  // The timer's due time goes along with it: the source wakes for whichever comes first.
  EXPECT_EQ(source.timers.back(), now + 50);
}

}  // namespace
}  // namespace strikora
