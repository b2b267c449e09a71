// Packs written by the tools must come back out of the game's reader byte for byte.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "audio/SoundPack.h"
#include "tests/support/TempDir.h"
#include "tools/PackFile.h"

namespace strikora::packfile {
namespace {

namespace fs = std::filesystem;

std::vector<char> V(const std::string& s) {
  return {s.begin(), s.end()};
}

void Write(const fs::path& f, const std::string& s) {
  std::ofstream(f, std::ios::binary) << s;
}

class PackFiles : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(Root / "sounds"); }

  UnpackResult Unpack(const fs::path& pack, const fs::path& dest) {
    UnpackHost host;
    host.MessageBox = [this](const std::string& text) { Messages.push_back(text); };
    return UnpackSoundPack(pack, dest, Root / "sounds", host);
  }

  strikora::testing::TempDir Folder;
  fs::path Root = Folder.Path();
  std::vector<std::string> Messages;
};

TEST_F(PackFiles, WrittenPacksUnpackToTheSameBytesPlusTwoZeros) {
  // The long one is copied out in several pieces.
  std::vector<char> song(3 * 1024 * 1024 + 7);
  for (std::size_t i = 0; i < song.size(); ++i) song[i] = static_cast<char>(i % 251);
  const std::vector<PackInput> entries = {{"a.wav", V("RIFF first")},
                                          {"empty.wav", {}},
                                          {"b.mp3", song},
                                          {"..\\names.dat", V("2\n1\n")}};
  const auto bytes = BuildPack(entries);
  Write(Root / "names.des", std::string(bytes.data(), bytes.size()));
  ASSERT_EQ(Unpack(Root / "names.des", Root / "sounds" / "names"), UnpackResult::Done);
  for (const auto& e : entries) {
    std::string relative = e.Name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    auto expected = e.Bytes;
    expected.push_back('\0');
    expected.push_back('\0');
    EXPECT_EQ(ReadWholeFile(Root / "sounds" / "names" / relative), expected) << e.Name;
  }
  EXPECT_TRUE(Messages.empty());

  const auto listing = ListPack(Root / "names.des");
  ASSERT_EQ(listing.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(listing[i].Name, entries[i].Name);
    EXPECT_EQ(listing[i].Length, static_cast<std::int32_t>(entries[i].Bytes.size()));
  }
}

TEST_F(PackFiles, PacksTheReaderCouldNotGiveBackAreRefusedAndDamagedOnesNotListed) {
  for (const std::string& bad : {std::string(), std::string(" lead.wav"), std::string("trail.wav "),
                                 std::string(56, 'n'), std::string("nul\0.wav", 8)}) {
    EXPECT_THROW((void)BuildPack({{bad, V("x")}}), std::invalid_argument) << bad;
  }
  EXPECT_NO_THROW((void)BuildPack({{std::string(55, 'n'), V("x")}}));
  // The reader's directory stops after 4097 records.
  const std::vector<PackInput> tooMany(kMaxEntries + 1, PackInput{"f.wav", V("x")});
  EXPECT_THROW((void)BuildPack(tooMany), std::invalid_argument);
  // Nor is a damaged pack listed as if it were whole.
  Write(Root / "bad.des", std::string("\0\0\0\0\x0c\0\0\0\0\0\0\0", 12) + std::string(64, 'x'));
  EXPECT_THROW((void)ListPack(Root / "bad.des"), std::runtime_error);
  EXPECT_THROW((void)ListPack(Root / "absent.des"), std::runtime_error);
}

TEST_F(PackFiles, AnUnchangedPackKeepsItsTimeStamp) {
  const fs::path file = Root / "menu.des";
  const auto bytes = BuildPack({{"a.wav", V("abc")}});
  EXPECT_TRUE(WriteIfChanged(file, bytes));
  const auto stamp = fs::last_write_time(file);
  EXPECT_FALSE(WriteIfChanged(file, bytes));
  EXPECT_EQ(fs::last_write_time(file), stamp);
  EXPECT_TRUE(WriteIfChanged(file, BuildPack({{"a.wav", V("abd")}})));
  EXPECT_EQ(ListPack(file).at(0).Name, "a.wav");
  EXPECT_FALSE(fs::exists(Root / "menu.des.tmp"));
}

// The tool's exit status. A tool that dies on a signal has crashed: that is never a refusal.
int Tool(const std::string& args) {
  const std::string command = std::string(STRIKORA_PACK_TOOL) + " " + args + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  if (WIFEXITED(status) && WEXITSTATUS(status) < 128) return WEXITSTATUS(status);
  ADD_FAILURE() << "strikora-pack " << args << " crashed (status " << status << ")";
  return -1;
}

TEST_F(PackFiles, PackToolMakesListsAndExtractsAFolderOfRecordings) {
  const fs::path voices = Root / "my voices";
  fs::create_directories(voices / "skipped folder");
  Write(voices / "b.wav", "bee");
  Write(voices / "a.wav", "ay");
  Write(Root / "order.txt", "1\n");
  const std::string pack = "'" + (Root / "mine.des").string() + "'";
  ASSERT_EQ(Tool("create " + pack + " '" + voices.string() + "' --extra ../names.dat='" +
                 (Root / "order.txt").string() + "'"),
            0);
  const auto listing = ListPack(Root / "mine.des");
  ASSERT_EQ(listing.size(), 3U);
  EXPECT_EQ(listing[0].Name, "a.wav");  // sorted by name
  EXPECT_EQ(listing[1].Name, "b.wav");
  EXPECT_EQ(listing[2].Name, "..\\names.dat");
  EXPECT_EQ(Tool("list " + pack), 0);

  const fs::path out = Root / "sounds" / "names";
  // Without --root the names list may not climb out of the folder it is unpacked into.
  EXPECT_EQ(Tool("extract " + pack + " '" + out.string() + "'"), 1);
  EXPECT_EQ(Tool("extract " + pack + " '" + out.string() + "' --root '" +
                 (Root / "sounds").string() + "'"),
            0);
  EXPECT_EQ(ReadWholeFile(out / "b.wav"), V(std::string("bee\0\0", 5)));
  EXPECT_TRUE(fs::exists(Root / "sounds" / "names.dat"));
}

TEST_F(PackFiles, PackToolRefusesBadInput) {
  fs::create_directory(Root / "v");
  Write(Root / "v" / (std::string(60, 'l') + ".wav"), "long");
  const std::string out = "'" + (Root / "x.des").string() + "' ";
  const struct {
    std::string Args;
    int Status;  // 2: not a command the tool knows; 1: a command it could not carry out
  } cases[] = {
      {"", 2},
      {"frobnicate x", 2},
      {"create " + out + "'" + (Root / "none").string() + "'", 1},
      {"list '" + (Root / "none.des").string() + "'", 1},
      {"extract '" + (Root / "none.des").string() + "' '" + Root.string() + "'", 1},
      {"create " + out + "'" + (Root / "v").string() + "'", 1},  // a name over 55 characters
      {"create " + out + "'" + Root.string() + "' --extra nofile", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(Tool(c.Args), c.Status) << c.Args;
  EXPECT_FALSE(fs::exists(Root / "x.des"));
}

}  // namespace
}  // namespace strikora::packfile
