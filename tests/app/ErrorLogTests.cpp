#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/ErrorLog.h"
#include "tests/audio/EngineWorld.h"

namespace strikora {
namespace {

using testing::EngineWorld;
using Strings = std::vector<std::string>;

TEST(ErrorLog, WritesThreeQuotedLinesPerRecordAndSoundsTheBuzzer) {
  EngineWorld w;
  ASSERT_FALSE(std::filesystem::exists(w.log.File()));
  w.world.SetLocalTime({2005, 4, 3, 9, 5, 0});

  w.log.LogError("C:\\clips\\\"odd\" name.wav", {53, "File not found: \"x.wav\""});

  EXPECT_EQ(w.LogText(),
            "\"QBX-ErrCode 53 - 3/4/2005 - 9:5 [C:\\clips\\\"odd\" name.wav]\"\r\n"
            "\"File not found: \"x.wav\"\"\r\n"
            "\" \"\r\n");
  EXPECT_EQ(w.PlaysOn("SpeechBuffer"), Strings{"buzzer.wav"});
  // The buzzer is waited for, like any prompt.
  EXPECT_EQ(w.Now(), 400);
  const auto errors = w.EventsOf("error");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].Fields, (Strings{"53", "C:\\clips\\\"odd\" name.wav"}));
}

TEST(ErrorLog, AppendsRecordsInTheOrderOfTheFailures) {
  EngineWorld w;
  w.world.SetLocalTime({2026, 12, 31, 23, 59, 0});
  w.log.LogError("TheGameSub", {-5, "Invalid procedure call or argument"});
  w.log.LogError("SpeakNumber", {9, ""});
  w.log.Record("packs", {75, "Path/File access error"});  // no buzzer

  EXPECT_EQ(w.LogText(),
            "\"QBX-ErrCode -5 - 31/12/2026 - 23:59 [TheGameSub]\"\r\n"
            "\"Invalid procedure call or argument\"\r\n"
            "\" \"\r\n"
            "\"QBX-ErrCode 9 - 31/12/2026 - 23:59 [SpeakNumber]\"\r\n"
            "\"\"\r\n"
            "\" \"\r\n"
            "\"QBX-ErrCode 75 - 31/12/2026 - 23:59 [packs]\"\r\n"
            "\"Path/File access error\"\r\n"
            "\" \"\r\n");
  EXPECT_EQ(w.PlaysOn("SpeechBuffer"), (Strings{"buzzer.wav", "buzzer.wav"}));

  // An earlier log is only ever appended to.
  w.log.LogError("later", {53, "again"});
  EXPECT_EQ(w.LogHeadings().size(), 4u);
}

TEST(ErrorLog, AMissingBuzzerIsRecordedOnceAndNotChased) {
  EngineWorld w;
  const auto buzzer = w.F.PlayFolder / "buzzer.wav";
  std::filesystem::remove(buzzer);
  w.world.SetLocalTime({2026, 1, 2, 3, 4, 0});

  w.engine.PlayAndWait(w.F.MenuFolder / "gone.wav");

  const auto headings = w.LogHeadings();
  ASSERT_EQ(headings.size(), 2u);
  EXPECT_EQ(headings[0],
            "QBX-ErrCode 53 - 2/1/2026 - 3:4 [" + (w.F.MenuFolder / "gone.wav").string() + "]");
  EXPECT_EQ(headings[1], "QBX-ErrCode 53 - 2/1/2026 - 3:4 [" + buzzer.string() + "]");
  EXPECT_TRUE(w.EventsOf("play").empty());
  EXPECT_EQ(w.EventsOf("fail").size(), 2u);
}

TEST(ErrorLog, ALogThatCannotBeWrittenStillSoundsTheBuzzer) {
  EngineWorld w;
  // A data "folder" that is a file: no log can be made under it, whoever runs the test.
  const auto blocker = w.dir.Path() / "not-a-folder";
  std::ofstream(blocker) << "x";
  ErrorLog log(blocker / "qbxerr.log", w.F.PlayFolder / "buzzer.wav", w.sim.platform.Time,
               w.sim.platform.Trace, w.engine);

  EXPECT_NO_THROW(log.LogError("TheGameSub", {53, "File not found"}));
  EXPECT_NO_THROW(log.LogError("TheGameSub", {53, "File not found"}));

  EXPECT_EQ(w.PlaysOn("SpeechBuffer"), (Strings{"buzzer.wav", "buzzer.wav"}));
  EXPECT_EQ(w.EventsOf("error").size(), 2u);
  EXPECT_TRUE(std::filesystem::is_regular_file(blocker));
}

}  // namespace
}  // namespace strikora
