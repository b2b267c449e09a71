// The pack reader against packs laid out byte by byte, so that every field is under the
// test's control, including damaged ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/SoundPack.h"
#include "tests/support/TempDir.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::string;

Bytes Int32(std::int32_t v) {
  Bytes b(4, '\0');
  for (int i = 0; i < 4; ++i)
    b[i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
  return b;
}

Bytes Header(std::int32_t directoryOffset) {
  return Int32(0) + Int32(directoryOffset) + Int32(0);
}

// One 64-byte directory record; the name is NUL-padded to 56 bytes.
Bytes Record(const std::string& name, std::int32_t offset, std::int32_t length) {
  Bytes r = name;
  r.resize(56, '\0');
  return r + Int32(offset) + Int32(length);
}

Bytes Unterminated() {
  return Bytes(56, 'x') + Int32(12) + Int32(1);
}

struct Entry {
  std::string Name;
  Bytes Data;
};

// header, the files back to back, then the directory and one empty record.
Bytes MakePack(const std::vector<Entry>& entries) {
  Bytes data, directory;
  std::int32_t at = 12;
  for (const auto& e : entries) {
    directory += Record(e.Name, at, static_cast<std::int32_t>(e.Data.size()));
    data += e.Data;
    at += static_cast<std::int32_t>(e.Data.size());
  }
  return Header(at) + data + directory + Record("", 0, 0);
}

Bytes ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PackReader : public ::testing::Test {
 protected:
  void SetUp() override {
    Sounds = Root / "sounds";
    fs::create_directories(Sounds);
    Dest = Sounds / "names";
    Host.DoEvents = [this] { ++Events; };
    Host.MessageBox = [this](const std::string& text) { Messages.push_back(text); };
  }
  UnpackResult Unpack(const Bytes& pack) {
    const fs::path file = Root / "test.des";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << pack;
    return UnpackSoundPack(file, Dest, Sounds, Host);
  }

  [[nodiscard]] std::size_t FilesUnder(const fs::path& folder) const {
    std::size_t n = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder)) n += e.is_regular_file() ? 1 : 0;
    return n;
  }

  strikora::testing::TempDir Folder;
  fs::path Root = Folder.Path(), Sounds, Dest;
  UnpackHost Host;
  int Events = 0;
  std::vector<std::string> Messages;
};

TEST_F(PackReader, EmptyFirstNameCreatesTheFolderAndNoFile) {
  EXPECT_EQ(Unpack(Header(12) + Record("", 12, 5)), UnpackResult::Done);
  EXPECT_TRUE(fs::is_directory(Dest));
  EXPECT_EQ(FilesUnder(Dest), 0U);
  EXPECT_EQ(Events, 1);
  EXPECT_TRUE(Messages.empty());
}

TEST_F(PackReader, EachFileCarriesTheTwoBytesAfterIt) {
  // Two files back to back: the first takes the second's first two bytes, the last one takes
  // the two zeros that lie past the end of the pack.
  const Bytes hundred(100, 'a');
  const Bytes directory =
      Record("one.wav", 204, 100) + Record("two.wav", 304, 3) + Record("", 0, 0);
  EXPECT_EQ(Unpack(Header(12) + directory + hundred + "XYZ"), UnpackResult::Done);
  EXPECT_EQ(ReadFile(Dest / "one.wav"), hundred + "XY");
  EXPECT_EQ(ReadFile(Dest / "two.wav"), Bytes("XYZ") + '\0' + '\0');
  EXPECT_EQ(Events, 3);
}

TEST_F(PackReader, NamesAreTrimmedAndSlashesBecomeFolders) {
  fs::create_directory(Sounds / "names");
  fs::create_directory(Dest / "sub");
  EXPECT_EQ(Unpack(MakePack({{"  spaced.wav  ", "s"}, {"sub/a.wav", "abc"}, {"sub\\b.wav", "b"}})),
            UnpackResult::Done);
  EXPECT_EQ(ReadFile(Dest / "spaced.wav").substr(0, 1), "s");
  EXPECT_EQ(ReadFile(Dest / "sub" / "a.wav").substr(0, 3), "abc");
  EXPECT_TRUE(fs::exists(Dest / "sub" / "b.wav"));
}

TEST_F(PackReader, AMissingSubFolderFailsWithTheNameLength) {
  EXPECT_EQ(Unpack(MakePack({{"first.wav", "1"}, {"sub/a.wav", "abc"}, {"after.wav", "2"}})),
            UnpackResult::Failed);
  EXPECT_EQ(Messages, std::vector<std::string>{"9"});
  EXPECT_TRUE(fs::exists(Dest / "first.wav"));  // written before the failure, kept
  EXPECT_FALSE(fs::exists(Dest / "after.wav"));
  EXPECT_FALSE(fs::exists(Dest / "sub"));
}

TEST_F(PackReader, UnpackingAgainReplacesTheFiles) {
  const Bytes pack = MakePack({{"a.wav", "new contents"}});
  fs::create_directory(Dest);
  std::ofstream(Dest / "a.wav") << "an older and much longer file than the new one";
  std::ofstream(Dest / "keep.wav") << "not in the pack";
  EXPECT_EQ(Unpack(pack), UnpackResult::Done);
  const Bytes first = ReadFile(Dest / "a.wav");
  EXPECT_EQ(first.size(), 14U);
  EXPECT_EQ(Unpack(pack), UnpackResult::Done);
  EXPECT_EQ(ReadFile(Dest / "a.wav"), first);
  EXPECT_TRUE(fs::exists(Dest / "keep.wav"));
}

TEST_F(PackReader, FullDirectoryWithNoEmptyRecordUnpacksAll4097Files) {
  Bytes directory;
  for (int i = 0; i < 4097; ++i) directory += Record("f" + std::to_string(i) + ".wav", 12, 1);
  // A 4098th record would be read if the directory did not stop at 4097.
  const Bytes pack = Header(14) + "zz" + directory + Record("extra.wav", 12, 1);
  EXPECT_EQ(Unpack(pack), UnpackResult::Done);
  EXPECT_EQ(FilesUnder(Dest), 4097U);
  EXPECT_TRUE(fs::exists(Dest / "f4096.wav"));
  EXPECT_FALSE(fs::exists(Dest / "extra.wav"));
  EXPECT_EQ(Events, 4097);
}

TEST_F(PackReader, TruncatedPacksReadZerosPastTheirEnd) {
  const Bytes full = MakePack({{"a.wav", "aaaa"}, {"b.wav", "bbbb"}});
  // Cut inside the second record: its name still reads up to the cut, then zeros.
  EXPECT_EQ(Unpack(full.substr(0, 12 + 8 + 64 + 3)), UnpackResult::Done);
  EXPECT_EQ(ReadFile(Dest / "a.wav"), "aaaabb");
  EXPECT_EQ(ReadFile(Dest / "b.w"), Bytes(2, '\0'));
  // Cut inside the file data: what is missing reads as zeros.
  const Bytes tail = Header(12) + Record("late.wav", 200, 4) + Record("", 0, 0);
  EXPECT_EQ(Unpack(tail + Bytes(200 - tail.size(), '\0') + "ab"), UnpackResult::Done);
  EXPECT_EQ(ReadFile(Dest / "late.wav"), Bytes("ab") + Bytes(4, '\0'));
  EXPECT_TRUE(Messages.empty());
}

TEST_F(PackReader, DirectoryOffsetPastTheEndHoldsNoFiles) {
  EXPECT_EQ(Unpack(Header(100000) + Record("a.wav", 12, 1)), UnpackResult::Done);
  EXPECT_EQ(FilesUnder(Dest), 0U);
  EXPECT_EQ(Unpack(Header(-64) + Record("a.wav", 12, 1)), UnpackResult::Failed);
  EXPECT_EQ(Messages, std::vector<std::string>{"0"});
}

TEST_F(PackReader, ANameWithoutTerminatorFailsWithTheNameInHand) {
  EXPECT_EQ(Unpack(Header(12) + Unterminated()), UnpackResult::Failed);
  EXPECT_EQ(Unpack(Header(13) + "x" + Record("hello.wav", 12, 1) + Unterminated()),
            UnpackResult::Failed);
  EXPECT_EQ(Messages, (std::vector<std::string>{"0", "9"}));
  EXPECT_TRUE(fs::exists(Dest / "hello.wav"));
}

TEST_F(PackReader, DamagedOffsetsAndLengthsFailWithoutWriting) {
  const Bytes tooLong = Header(12) + Record("big.wav", 12, 2000000000) + Record("", 0, 0);
  const Bytes negativeLength = Header(12) + Record("neg.wav", 12, -5) + Record("", 0, 0);
  const Bytes negativeOffset = Header(12) + Record("off.wav", -1, 4) + Record("", 0, 0);
  for (const Bytes& pack : {tooLong, negativeLength, negativeOffset}) {
    EXPECT_EQ(Unpack(pack), UnpackResult::Failed);
  }
  EXPECT_EQ(Messages, (std::vector<std::string>{"7", "7", "7"}));
  EXPECT_EQ(FilesUnder(Dest), 0U);
}

TEST_F(PackReader, NamesThatLeaveTheSoundTreeFail) {
  // A folder named "C:" below the destination must not make a drive letter a sub-folder.
  fs::create_directories(Dest / "C:");
  for (const std::string name :
       {"/etc/x.wav", "\\x.wav", "C:\\x.wav", "..\\..\\x.wav", "sub/../../../x.wav", ".."}) {
    Messages.clear();
    EXPECT_EQ(Unpack(MakePack({{name, "evil"}, {"after.wav", "a"}})), UnpackResult::Failed) << name;
    EXPECT_EQ(Messages, std::vector<std::string>{std::to_string(name.size())}) << name;
  }
  EXPECT_FALSE(fs::exists(Root / "x.wav"));
  EXPECT_FALSE(fs::exists(Sounds / "x.wav"));
  EXPECT_FALSE(fs::exists(Dest / "after.wav"));
  EXPECT_EQ(FilesUnder(Root), 1U);  // only the pack itself
}

TEST_F(PackReader, NamesDatLandsInTheSoundsFolder) {
  EXPECT_EQ(Unpack(MakePack({{"fn1.wav", "ann"}, {"..\\names.dat", "1\n"}})), UnpackResult::Done);
  EXPECT_EQ(ReadFile(Sounds / "names.dat").substr(0, 2), "1\n");
  EXPECT_TRUE(fs::exists(Dest / "fn1.wav"));
}

TEST_F(PackReader, AMissingPackUnpacksNothingAndSaysNothing) {
  EXPECT_EQ(UnpackSoundPack(Root / "absent.des", Dest, Sounds, Host), UnpackResult::Missing);
  EXPECT_TRUE(Messages.empty());
  EXPECT_EQ(FilesUnder(Root), 0U);
}

TEST_F(PackReader, AMissingParentFolderIsThrown) {
  const fs::path file = Root / "test.des";
  std::ofstream(file, std::ios::binary) << MakePack({{"a.wav", "a"}});
  EXPECT_THROW((void)UnpackSoundPack(file, Root / "no" / "such", Sounds, Host),
               fs::filesystem_error);
}

TEST_F(PackReader, EmptyHostIsAllowed) {
  const fs::path file = Root / "test.des";
  std::ofstream(file, std::ios::binary) << Header(12) + Unterminated();
  EXPECT_EQ(UnpackSoundPack(file, Dest, Sounds, UnpackHost{}), UnpackResult::Failed);
}

}  // namespace
}  // namespace strikora
