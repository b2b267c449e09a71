#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "platform/Keys.h"
#include "tests/audio/EngineWorld.h"

namespace strikora {
namespace {

using testing::EngineWorld;
using Strings = std::vector<std::string>;

// The draws that pick each voice: "f.wav", ".wav", "p.wav".
constexpr double kVoiceF = 0.1;
constexpr double kPlain = 0.5;
constexpr double kVoiceP = 0.9;

// The snippets heard on the number slot, by file name.
Strings Snippets(const EngineWorld& w) {
  return w.PlaysOn("NumberBuffer");
}

// Snippet names in the plain voice.
Strings Plain(std::initializer_list<const char*> stems) {
  Strings out;
  for (const char* s : stems) out.push_back(std::string(s) + ".wav");
  return out;
}

TEST(NumberSpeech, SpeaksEveryShapeOfNumberFromItsSnippets) {
  struct Case {
    std::int32_t n;
    Strings heard;
  };
  const std::vector<Case> cases = {
      {0, Plain({"0"})},
      {13, Plain({"13"})},
      {20, Plain({"20"})},
      {21, Plain({"20", "1"})},
      {30, Plain({"30"})},
      {47, Plain({"40", "7"})},
      {100, Plain({"1", "hundred"})},
      {105, Plain({"1", "hundred", "5"})},
      {110, Plain({"1", "hundred", "10"})},
      {120, Plain({"1", "hundred", "20"})},
      {300, Plain({"3", "hundred"})},
      {999, Plain({"9", "hundred", "90", "9"})},
      {1000, Plain({"1", "thousnd"})},
      {1001, Plain({"1", "thousnd", "1"})},
      {1234, Plain({"1", "thousnd", "2", "hundred", "30", "4"})},
      {5000, Plain({"5", "thousnd"})},
      {9999, Plain({"9", "thousnd", "9", "hundred", "90", "9"})},
      {20000, Plain({"20", "thousnd"})},
      {21015, Plain({"20", "1", "thousnd", "15"})},
      {99999, Plain({"90", "9", "thousnd", "9", "hundred", "90", "9"})},
      {100000, Plain({"1", "hundred", "thousnd"})},
      {654321, Plain({"6", "hundred", "50", "4", "thousnd", "3", "hundred", "20", "1"})},
      {999999, Plain({"9", "hundred", "90", "9", "thousnd", "9", "hundred", "90", "9"})},
      {-8, Plain({"negativ", "8"})},
      {-999999,
       Plain({"negativ", "9", "hundred", "90", "9", "thousnd", "9", "hundred", "90", "9"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    EngineWorld w;
    for (int i = 0; i < 4; ++i) w.random.Push(kPlain);
    w.engine.Numbers.SpeakNumber(c.n);
    EXPECT_EQ(Snippets(w), c.heard);
    EXPECT_TRUE(w.EventsOf("error").empty());
    // One snippet after the other, each waited for.
    EXPECT_EQ(w.Now(), static_cast<std::int64_t>(400 * c.heard.size()));
  }
}

TEST(NumberSpeech, EachGroupOfThreeDigitsHasOneVoiceAndThousandFollowsTheLeadingGroup) {
  EngineWorld w;
  // Below a thousand, one voice for the whole number; the next call may take another.
  w.Push({kVoiceF, kVoiceP});
  w.engine.Numbers.SpeakNumber(47);
  w.engine.Numbers.SpeakNumber(47);
  EXPECT_EQ(Snippets(w), (Strings{"40f.wav", "7f.wav", "40p.wav", "7p.wav"}));
  EXPECT_EQ(w.engine.Numbers.NumberSuffix(), "p.wav");

  // A one-digit leading group keeps the number's voice; the rest is a number of its own.
  w.sim.platform.Trace.Clear();
  w.Push({kVoiceF, kVoiceP});
  w.engine.Numbers.SpeakNumber(1234);
  EXPECT_EQ(Snippets(w),
            (Strings{"1f.wav", "thousndf.wav", "2p.wav", "hundredp.wav", "30p.wav", "4p.wav"}));

  // A longer leading group draws its own voice, and "thousand" keeps it.
  w.sim.platform.Trace.Clear();
  w.Push({kVoiceF, kVoiceP, kPlain});
  w.engine.Numbers.SpeakNumber(654321);
  EXPECT_EQ(Snippets(w), (Strings{"6p.wav", "hundredp.wav", "50p.wav", "4p.wav", "thousndp.wav",
                                  "3.wav", "hundred.wav", "20.wav", "1.wav"}));
  EXPECT_EQ(w.engine.Numbers.NumberSuffix(), ".wav");

  // Minus is said once, in the voice drawn for the whole number.
  w.sim.platform.Trace.Clear();
  w.Push({kVoiceP, kVoiceF, kPlain});
  w.engine.Numbers.SpeakNumber(-20001);
  EXPECT_EQ(Snippets(w), (Strings{"negativp.wav", "20f.wav", "thousndf.wav", "1.wav"}));
}

TEST(NumberSpeech, NumbersBeyondSixDigitsAreRefusedThroughTheErrorLog) {
  EngineWorld w;
  for (const std::int32_t n : {1000000, -1000000, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(n);
    w.sim.platform.Trace.Clear();
    EXPECT_NO_THROW(w.engine.Numbers.SpeakNumber(n));
    EXPECT_TRUE(Snippets(w).empty());
    EXPECT_EQ(w.PlaysOn("SpeechBuffer"), Strings{"buzzer.wav"});
  }
  const auto headings = w.LogHeadings();
  ASSERT_EQ(headings.size(), 4u);
  for (const std::string& h : headings) {
    EXPECT_EQ(h.rfind("QBX-ErrCode 9 - ", 0), 0u) << h;
    EXPECT_NE(h.find("[SpeakNumber]"), std::string::npos) << h;
  }
  EXPECT_TRUE(w.engine.Numbers.NumberSuffix().empty());
}

TEST(NumberSpeech, StoppedSnippetsGiveWayToTheRestOfTheNumber) {
  EngineWorld w;
  class Silencer final : public Form {
   public:
    explicit Silencer(SoundEngine& e) : Form(e.GetPlatform().Windows, "Menu"), e_(e) {}
    void Form_KeyDown(int, int) override { e_.StopSpeech(); }

   private:
    SoundEngine& e_;
  } form(w.engine);
  form.Show();
  w.world.PressKeyWhenClipStarts("numbers/40.wav", vk::Control, 2, 100);
  w.Push({kPlain});

  w.engine.Numbers.SpeakNumber(47);

  EXPECT_EQ(Snippets(w), Plain({"40", "7"}));
  ASSERT_EQ(w.EventsOf("stop").size(), 1u);
  EXPECT_EQ(w.EventsOf("stop")[0].Fields[0], "NumberBuffer");
  EXPECT_EQ(w.Now(), 100 + 400);
}

TEST(NumberSpeech, AMissingSnippetEndsTheNumberWithAFailureForTheCaller) {
  EngineWorld w;
  std::filesystem::remove(w.F.NumbersFolder / "hundred.wav");
  w.Push({kPlain});
  try {
    w.engine.Numbers.SpeakNumber(147);
    ADD_FAILURE() << "the missing snippet went unnoticed";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Code(), ErrorCode::FileNotFound);
  }
  EXPECT_EQ(Snippets(w), Plain({"1"}));
  // The number itself does not log; its caller decides.
  EXPECT_TRUE(w.LogHeadings().empty());
}

}  // namespace
}  // namespace strikora
