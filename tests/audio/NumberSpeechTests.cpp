#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/audio/EngineWorld.h"

namespace strikora {
namespace {

using testing::EngineWorld;

// The draws that pick each voice: "f.wav", ".wav", "p.wav".
constexpr double F = 0.1, Plain = 0.5, P = 0.9;

// The snippets heard on the number slot, by stem: "20 1", "40f 7f".
std::string Snippets(const EngineWorld& w) {
  std::string out;
  for (const std::string& file : w.PlaysOn("NumberBuffer")) {
    out += (out.empty() ? "" : " ") + file.substr(0, file.size() - 4);
  }
  return out;
}

// What a listener adds up from plain snippets: numbers add to the group, "hundred" multiplies
// the group, "thousnd" all so far, "negativ" turns the sign.
std::int64_t Value(const std::string& snippets) {
  std::int64_t total = 0, group = 0, sign = 1;
  std::istringstream in(snippets);
  for (std::string s; in >> s;) {
    if (s == "negativ")
      sign = -1;
    else if (s == "hundred")
      group *= 100;
    else if (s == "thousnd")
      total = (total + group) * 1000, group = 0;
    else
      group += std::stoi(s);
  }
  return sign * (total + group);
}

TEST(NumberSpeech, EveryNumberIsHeardAsItsValueInTheFewestSnippetsOneAfterTheOther) {
  // clang-format off
  const std::vector<std::pair<std::int32_t, std::string>> shapes = {
      {0, "0"}, {13, "13"}, {21, "20 1"}, {30, "30"}, {110, "1 hundred 10"}, {300, "3 hundred"},
      {1001, "1 thousnd 1"}, {21015, "20 1 thousnd 15"}, {100000, "1 hundred thousnd"},
      {-8, "negativ 8"}};
  // clang-format on
  EngineWorld w;
  std::mt19937 gen(7);
  std::uniform_int_distribution<std::int32_t> any(-999999, 999999);
  for (std::size_t i = 0; i < 300; ++i) {
    const std::int32_t n = i < shapes.size() ? shapes[i].first : any(gen);
    SCOPED_TRACE(n);
    w.sim.platform.Trace.Clear();
    const std::int64_t start = w.Now();
    w.Push({Plain, Plain, Plain});
    w.engine.Numbers.SpeakNumber(n);
    const std::string heard = Snippets(w);
    if (i < shapes.size()) {
      EXPECT_EQ(heard, shapes[i].second);
    }
    EXPECT_EQ(Value(heard), n) << heard;
    EXPECT_EQ(n == 0, (" " + heard + " ").find(" 0 ") != std::string::npos) << heard;
    EXPECT_EQ(w.Now() - start, 400 * static_cast<std::int64_t>(w.PlaysOn("NumberBuffer").size()));
  }
  EXPECT_TRUE(w.EventsOf("error").empty());
}

TEST(NumberSpeech, EachGroupOfThreeDigitsHasOneVoiceAndThousandFollowsTheLeadingGroup) {
  // The draws, what is heard, the voice left for what follows.
  const std::tuple<std::int32_t, std::vector<double>, std::string, std::string> rows[] = {
      {47, {F}, "40f 7f", "f.wav"},  // below a thousand, one voice for the whole number
      {47, {P}, "40p 7p", "p.wav"},
      // A one-digit leading group keeps the number's voice; the rest is a number of its own.
      {1234, {F, P}, "1f thousndf 2p hundredp 30p 4p", "p.wav"},
      // A longer leading group draws its own voice, and "thousand" keeps it.
      {654321, {F, P, Plain}, "6p hundredp 50p 4p thousndp 3 hundred 20 1", ".wav"},
      {-20001, {P, F, Plain}, "negativp 20f thousndf 1", ".wav"},  // minus once, whole number's
  };
  EngineWorld w;
  for (const auto& [n, draws, heard, suffixAfter] : rows) {
    SCOPED_TRACE(n);
    w.sim.platform.Trace.Clear();
    for (const double d : draws) w.random.Push(d);
    w.engine.Numbers.SpeakNumber(n);
    EXPECT_EQ(Snippets(w), heard);
    EXPECT_EQ(w.engine.Numbers.NumberSuffix(), suffixAfter);
  }
}

TEST(NumberSpeech, ANumberBeyondSixDigitsIsLoggedAndAMissingSnippetEndsTheNumberForItsCaller) {
  EngineWorld w;
  for (const std::int32_t n : {1000000, -1000000, INT_MAX, INT_MIN}) {
    EXPECT_NO_THROW(w.engine.Numbers.SpeakNumber(n)) << n;
  }
  EXPECT_EQ(Snippets(w), "");
  EXPECT_EQ(w.PlaysOn("SpeechBuffer"), std::vector<std::string>(4, "buzzer.wav"));
  EXPECT_EQ(w.LogHeadings(),
            std::vector<std::string>(4, "QBX-ErrCode 9 - 6/12/2026 - 10:0 [SpeakNumber]"));
  EXPECT_TRUE(w.engine.Numbers.NumberSuffix().empty());

  std::filesystem::remove(w.F.NumbersFolder / "hundred.wav");
  w.Push({Plain});
  EXPECT_THROW(w.engine.Numbers.SpeakNumber(147), PlatformError);
  EXPECT_EQ(Snippets(w), "1");
  EXPECT_EQ(w.LogHeadings().size(), 4u);  // the number's caller decides
}

}  // namespace
}  // namespace strikora
