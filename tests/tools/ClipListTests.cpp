// The clip list against the names the game builds when it plays: a clip missing here is a
// buzzer in the game.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/ClipList.h"

namespace strikora::voiceset {
namespace {

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
  for (const Pack pack : kPacks)
    EXPECT_TRUE(!ClipsOf(pack).empty() && ClipsOf(pack).size() <= 4097U) << PackFileName(pack);
}

// The families whose names the sound engine, number speech and the main menu put together.
TEST(ClipList, HasEveryFamilyTheEngineNumbers) {
  std::vector<std::pair<Pack, std::string>> clips = {
      {Pack::Play, "buzzer.wav"},       {Pack::Ambient, "alley.wav"},
      {Pack::Beside, "silence.wav"},    {Pack::Beside, "logos.mp3"},
      {Pack::Announce, "themesng.mp3"}, {Pack::StdNames, "../names.dat"},
      {Pack::Announce, "intro1a"},      {Pack::Announce, "intro1b"},
      {Pack::Announce, "intro1c"}};
  for (const char* f : {"menu", "active", "psao", "lgb", "create", "vps", "uh", "on", "off",
                        "spkrtest", "lta", "end"})
    clips.emplace_back(Pack::Menu, f);
  const std::tuple<Pack, const char*, int> families[] = {
      {Pack::Play, "aim0", 5},     {Pack::Play, "aim1", 5},   {Pack::Play, "pin", 10},
      {Pack::Ambient, "music", 5}, {Pack::Ambient, "ohs", 7}, {Pack::Ambient, "amb", 15}};
  for (const auto& [pack, stem, count] : families)
    for (int k = 1; k <= count; ++k) clips.emplace_back(pack, stem + std::to_string(k));
  // Number speech: every stem in the three speakers' endings.
  std::vector<std::string> stems = {"hundred", "thousnd", "negativ"};
  for (int n = 0; n <= 90; n += n < 20 ? 1 : 10) stems.push_back(std::to_string(n));
  for (const std::string& stem : stems)
    for (const std::string suffix : {"", "f", "p"})
      clips.emplace_back(Pack::Numbers, stem + suffix);
  for (char c = 'A'; c <= 'Z'; ++c) clips.emplace_back(Pack::Initials, std::string(1, c));
  for (auto& [pack, file] : clips) {
    if (file.find('.') == std::string::npos) file += ".wav";
    EXPECT_NE(FindClip(pack, file), nullptr) << PackDestination(pack) << "/" << file;
  }
  EXPECT_EQ(FindClip(Pack::StdNames, "../names.dat")->PackEntryName(), "..\\names.dat");
}

// Names fn1... without gaps, and names.dat offering every one once in alphabetical order.
TEST(ClipList, NamesAreNumberedWithoutGapsAndNamesDatOffersEachOnceAlphabetically) {
  const auto& names = FirstNames();
  EXPECT_LE(names.size(), 200U);  // the catalogue looks at fn1 to fn200
  for (std::size_t i = 0; i < names.size(); ++i) {
    const Clip* clip = FindClip(Pack::StdNames, "fn" + std::to_string(i + 1) + ".wav");
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->text, names[i]);
  }
  EXPECT_EQ(ClipsOf(Pack::StdNames).size(), names.size() + 1);  // and names.dat
  // Every name once: as many lines as names, each naming one, in strictly rising order.
  std::istringstream in(NamesDatText());
  std::vector<int> order;
  for (std::string line; std::getline(in, line);) order.push_back(std::stoi(line));
  ASSERT_EQ(order.size(), names.size());
  for (std::size_t j = 1; j < order.size(); ++j)
    EXPECT_LT(names.at(order[j - 1] - 1), names.at(order[j] - 1));
  EXPECT_NE(order.front(), 1);  // file order is not already alphabetical
}

}  // namespace
}  // namespace strikora::voiceset
