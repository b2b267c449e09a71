// The clip list against the names the game builds when it plays: a clip missing here is a
// buzzer in the game.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/ClipList.h"

namespace strikora::voiceset {
namespace {

std::string N(int n) {
  return std::to_string(n);
}

void ExpectClips(Pack pack, const std::vector<std::string>& files) {
  for (const auto& file : files) {
    EXPECT_NE(FindClip(pack, file), nullptr) << PackDestination(pack) << "/" << file;
  }
}

TEST(ClipList, EveryFileLandsOnceInTheSoundTreeUnderAShortEnoughName) {
  std::set<std::string> landed;
  for (const auto& clip : AllClips()) {
    const auto where = (std::filesystem::path(std::string(PackDestination(clip.pack))) / clip.file)
                           .lexically_normal()
                           .string();
    EXPECT_TRUE(landed.insert(where).second) << "twice: " << where;
    EXPECT_LE(clip.PackEntryName().size(), 55U) << clip.file;
    EXPECT_EQ(clip.PackEntryName().find('/'), std::string::npos);
  }
  for (const Pack pack : kPacks) {
    EXPECT_FALSE(ClipsOf(pack).empty()) << PackFileName(pack);
    EXPECT_LE(ClipsOf(pack).size(), 4097U);
  }
}

// The families whose names the sound engine, number speech and the main menu put together.
TEST(ClipList, HasEveryFamilyTheEngineNumbers) {
  std::vector<std::string> play = {"buzzer.wav"}, ambient = {"alley.wav"};
  for (int skill = 1; skill <= 5; ++skill) {
    play.push_back("aim0" + N(skill) + ".wav");
    play.push_back("aim1" + N(skill) + ".wav");
  }
  for (int k = 1; k <= 10; ++k) play.push_back("pin" + N(k) + ".wav");
  for (int k = 1; k <= 5; ++k) ambient.push_back("music" + N(k) + ".wav");
  for (int k = 1; k <= 7; ++k) ambient.push_back("ohs" + N(k) + ".wav");
  for (int k = 1; k <= 15; ++k) ambient.push_back("amb" + N(k) + ".wav");
  ExpectClips(Pack::Play, play);
  ExpectClips(Pack::Ambient, ambient);
  ExpectClips(Pack::Announce, {"intro1a.wav", "intro1b.wav", "intro1c.wav", "themesng.mp3"});
  ExpectClips(Pack::Menu, {"menu.wav", "active.wav", "psao.wav", "lgb.wav", "create.wav", "vps.wav",
                           "uh.wav", "on.wav", "off.wav", "spkrtest.wav", "lta.wav", "end.wav"});
  ExpectClips(Pack::Beside, {"silence.wav", "logos.mp3"});
  // Number speech: every stem in the three speakers' endings.
  std::vector<std::string> numbers;
  for (const std::string stem : {"0", "13", "20", "30", "90", "hundred", "thousnd", "negativ"})
    for (const std::string suffix : {".wav", "f.wav", "p.wav"}) numbers.push_back(stem + suffix);
  ExpectClips(Pack::Numbers, numbers);
  EXPECT_EQ(ClipsOf(Pack::Numbers).size(), 31U * 3);
  const Clip* landmark = FindClip(Pack::Play, "aim13.wav");
  ASSERT_NE(landmark, nullptr);
  EXPECT_EQ(landmark->param1, 1);
  EXPECT_EQ(landmark->param2, 3);
}

TEST(ClipList, NamesAreNumberedWithoutGapsAndInitialsRunAToZ) {
  const auto& names = FirstNames();
  EXPECT_GE(names.size(), 140U);
  EXPECT_LE(names.size(), 200U);  // the catalogue looks at fn1 to fn200
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const Clip* clip = FindClip(Pack::StdNames, "fn" + N(static_cast<int>(i) + 1) + ".wav");
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->text, names[i]);
  }
  EXPECT_EQ(ClipsOf(Pack::StdNames).size(), names.size() + 1);  // and names.dat
  EXPECT_NE(FindClip(Pack::StdNames, "../names.dat"), nullptr);
  EXPECT_EQ(FindClip(Pack::StdNames, "../names.dat")->PackEntryName(), "..\\names.dat");
  for (char c = 'A'; c <= 'Z'; ++c)
    EXPECT_NE(FindClip(Pack::Initials, std::string(1, c) + ".wav"), nullptr);
  EXPECT_EQ(ClipsOf(Pack::Initials).size(), 26U);
}

TEST(ClipList, NamesDatOffersEveryNameOnceInAlphabeticalOrder) {
  const auto& names = FirstNames();
  std::istringstream in(NamesDatText());
  std::vector<int> order;
  for (std::string line; std::getline(in, line);) order.push_back(std::stoi(line));
  ASSERT_EQ(order.size(), names.size());
  std::vector<int> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  for (std::size_t i = 0; i < sorted.size(); ++i) EXPECT_EQ(sorted[i], static_cast<int>(i) + 1);
  for (std::size_t j = 1; j < order.size(); ++j) {
    EXPECT_LT(names[order[j - 1] - 1], names[order[j] - 1]);
  }
  EXPECT_NE(order.front(), 1);  // file order is not already alphabetical
}

}  // namespace
}  // namespace strikora::voiceset
