// Packs written by the tools must come back out of the game's reader byte for byte.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "audio/SoundPack.h"
#include "tests/support/TempDir.h"
#include "tools/PackFile.h"

namespace strikora::packfile {
namespace {

namespace fs = std::filesystem;

TEST(PackFiles, WrittenPacksUnpackToTheSameBytesBadOnesAreRefusedAndTheToolDoesTheSame) {
  const auto V = [](const std::string& s) { return std::vector<char>(s.begin(), s.end()); };
  const auto Write = [](const fs::path& f, const std::string& s) {
    std::ofstream(f, std::ios::binary) << s;
  };
  const strikora::testing::TempDir dir;
  for (const char* folder : {"first", "my voices/skipped folder", "long", "sounds"})
    fs::create_directories(dir / folder);
  std::vector<char> song(3 * 1024 * 1024 + 7);  // copied out in several pieces
  for (std::size_t i = 0; i < song.size(); ++i) song[i] = static_cast<char>(i % 251);
  // clang-format off
  const std::vector<PackInput> entries = {
      {"a.wav", V("RIFF first")}, {"empty.wav", {}}, {"b.mp3", song}, {"..\\names.dat", V("2\n1\n")}};
  // clang-format on
  const auto bytes = BuildPack(entries);
  Write(dir / "names.des", std::string(bytes.data(), bytes.size()));
  std::vector<std::string> boxes;
  const UnpackHost host{{}, [&](const std::string& t) { boxes.push_back(t); }, {}};
  ASSERT_EQ(UnpackSoundPack(dir / "names.des", dir / "first/names", dir / "first", host),
            UnpackResult::Done);
  EXPECT_TRUE(boxes.empty());
  const auto listing = ListPack(dir / "names.des");
  ASSERT_EQ(listing.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::string relative = entries[i].Name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    auto expected = entries[i].Bytes;
    expected.insert(expected.end(), 2, '\0');
    EXPECT_EQ(ReadWholeFile(dir / "first/names" / relative), expected) << relative;
    EXPECT_EQ(listing[i].Name, entries[i].Name);
    EXPECT_EQ(listing[i].Length, static_cast<std::int32_t>(entries[i].Bytes.size()));
  }
  // Names the reader could not give back are refused; damaged packs are not listed.
  for (const std::string& bad : {std::string(), std::string(" lead.wav"), std::string("trail.wav "),
                                 std::string(56, 'n'), std::string("nul\0.wav", 8)})
    EXPECT_THROW((void)BuildPack({{bad, V("x")}}), std::invalid_argument) << bad;
  EXPECT_NO_THROW((void)BuildPack({{std::string(55, 'n'), V("x")}}));
  // The reader's directory stops after 4097 records.
  EXPECT_THROW((void)BuildPack(std::vector(kMaxEntries + 1, PackInput{"f.wav", V("x")})),
               std::invalid_argument);
  Write(dir / "bad.des", std::string("\0\0\0\0\x0c\0\0\0\0\0\0\0", 12) + std::string(64, 'x'));
  EXPECT_THROW((void)ListPack(dir / "bad.des"), std::runtime_error);
  EXPECT_THROW((void)ListPack(dir / "absent.des"), std::runtime_error);

  // The pack tool, a command a row on what the rows before left: its exit status (2 not a command
  // it knows, 1 one it could not carry out; a signal is a crash, never a refusal); the listing.
  const std::string d = "'" + dir.Path().string() + "/", pack = d + "mine.des' ";
  Write(dir / "my voices/b.wav", "bee");
  Write(dir / "my voices/a.wav", "ay");
  Write(dir / "order.txt", "1\n");
  Write(dir / "long" / (std::string(60, 'l') + ".wav"), "long");
  const std::pair<std::string, int> rows[] = {
      {"create " + pack + d + "my voices' --extra ../names.dat=" + d + "order.txt'", 0},
      {"list " + pack, 0},
      // Without --root the names list may not climb out of the folder it is unpacked into.
      {"extract " + pack + d + "sounds/names'", 1},
      {"extract " + pack + d + "sounds/names' --root " + d + "sounds'", 0},
      {"", 2},
      {"frobnicate x", 2},
      {"create " + d + "x.des' " + d + "none'", 1},
      {"list " + d + "none.des'", 1},
      {"extract " + d + "none.des' " + d + "'", 1},
      {"create " + d + "x.des' " + d + "long'", 1},  // a name over 55 characters
      {"create " + d + "x.des' " + d + "' --extra nofile", 1}};
  for (const auto& [args, expected] : rows) {
    SCOPED_TRACE(args);
    const int s = std::system((STRIKORA_PACK_TOOL " " + args + " >/dev/null 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(s) && WEXITSTATUS(s) < 128) << "crashed, status " << s;
    EXPECT_EQ(WEXITSTATUS(s), expected);
  }
  std::vector<std::string> names;
  for (const auto& e : ListPack(dir / "mine.des")) names.push_back(e.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"a.wav", "b.wav", "..\\names.dat"}));  // by name
  EXPECT_EQ(ReadWholeFile(dir / "sounds/names/b.wav"), V(std::string("bee\0\0", 5)));
  EXPECT_TRUE(fs::exists(dir / "sounds/names.dat"));
  EXPECT_FALSE(fs::exists(dir / "x.des"));
}

}  // namespace
}  // namespace strikora::packfile
