// The pack reader against packs laid out byte by byte, every field, damaged ones too, in hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "audio/SoundPack.h"
#include "tests/support/TempDir.h"

namespace strikora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::string;

Bytes Int32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
          static_cast<char>(u >> 24)};
}
Bytes Header(std::int32_t directoryOffset) {
  return Int32(0) + Int32(directoryOffset) + Int32(0);
}
// One 64-byte directory record; the name is NUL-padded to 56 bytes (or fills them, unended).
Bytes Record(const std::string& name, std::int32_t offset, std::int32_t length) {
  Bytes r = name;
  r.resize(56, name.size() >= 56 ? 'x' : '\0');
  return r + Int32(offset) + Int32(length);
}
// The header, the files back to back, then the directory and one empty record.
Bytes MakePack(const std::vector<std::pair<std::string, Bytes>>& entries) {
  Bytes data, directory;
  for (const auto& [name, bytes] : entries) {
    directory += Record(name, static_cast<std::int32_t>(12 + data.size()),
                        static_cast<std::int32_t>(bytes.size()));
    data += bytes;
  }
  return Header(static_cast<std::int32_t>(12 + data.size())) + data + directory + Record("", 0, 0);
}

Bytes ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
std::size_t FilesUnder(const fs::path& folder) {
  std::size_t n = 0;
  for (const auto& e : fs::recursive_directory_iterator(folder)) n += e.is_regular_file() ? 1 : 0;
  return n;
}

TEST(PackReader, UnpacksEachEntryWithTheTwoBytesAfterItOrFailsWithTheNameInHand) {
  const Bytes hundred(100, 'a');
  Bytes full4097;
  for (int i = 0; i < 4097; ++i) full4097 += Record("f" + std::to_string(i) + ".wav", 12, 1);
  const Bytes cut = MakePack({{"a.wav", "aaaa"}, {"b.wav", "bbbb"}}).substr(0, 12 + 8 + 64 + 3);
  const Bytes late = Header(12) + Record("late.wav", 200, 4) + Record("", 0, 0);
  // A row: name; pack (none: no file); files made first ("": a folder); result; the box's text;
  // files after (none: must not exist); how many files are under the sounds folder after.
  using Files = std::vector<std::pair<std::string, std::optional<Bytes>>>;
  using Row =
      std::tuple<std::string, std::optional<Bytes>, std::vector<std::pair<std::string, Bytes>>,
                 UnpackResult, std::string, Files, std::size_t>;
  const auto none = std::nullopt;
  const UnpackResult done = UnpackResult::Done, failed = UnpackResult::Failed;
  // clang-format off
  std::vector<Row> rows = {
      {"an empty first name: the folder and no file", Header(12) + Record("", 12, 5), {}, done, "", {}, 0},
      {"no pack: nothing to unpack, and nothing to tell", std::nullopt, {}, UnpackResult::Missing, "", {}, 0},
      {"unpacking over older files replaces them, and keeps files not in the pack", MakePack({{"a.wav", "new contents"}}),
       {{"names/a.wav", "an older and much longer file than the new one"}, {"names/keep.wav", "not in the pack"}}, done,
       "", {{"names/a.wav", "new contentsa."}, {"names/keep.wav", "not in the pack"}}, 2},
      {"the last file takes the zeros past the pack's end",
       Header(12) + Record("one.wav", 204, 100) + Record("two.wav", 304, 3) + Record("", 0, 0) + hundred + "XYZ",
       {}, done, "", {{"names/one.wav", hundred + "XY"}, {"names/two.wav", Bytes("XYZ\0\0", 5)}}, 2},
      {"names trimmed, slashes either way are folders",
       MakePack({{"  spaced.wav  ", "s"}, {"sub/a.wav", "abc"}, {"sub\\b.wav", "b"}}), {{"names/sub", ""}}, done, "",
       {{"names/spaced.wav", "sab"}, {"names/sub/a.wav", "abcb "}, {"names/sub/b.wav", "b  "}}, 3},
      {"a missing sub-folder stops the pack after what it wrote",
       MakePack({{"first.wav", "1"}, {"sub/a.wav", "abc"}, {"after.wav", "2"}}), {}, failed, "9",
       {{"names/sub", none}, {"names/after.wav", none}}, 1},
      {"4097 records and never a 4098th", Header(14) + "zz" + full4097 + Record("extra.wav", 12, 1), {}, done, "",
       {{"names/f4096.wav", "zzf"}, {"names/extra.wav", none}}, 4097},
      {"a pack cut inside a record reads zeros past the cut", cut, {}, done, "",
       {{"names/a.wav", "aaaabb"}, {"names/b.w", Bytes(2, '\0')}}, 2},
      {"a pack cut inside its data reads zeros", late + Bytes(200 - late.size(), '\0') + "ab", {}, done, "",
       {{"names/late.wav", Bytes("ab") + Bytes(4, '\0')}}, 1},
      {"a directory past the end holds nothing", Header(100000) + Record("a.wav", 12, 1), {}, done, "", {}, 0},
      {"a negative directory offset", Header(-64) + Record("a.wav", 12, 1), {}, failed, "0", {}, 0},
      {"a first name without its end", Header(12) + Record(Bytes(56, 'x'), 12, 1), {}, failed, "0", {}, 0},
      {"a later name without its end", Header(13) + "x" + Record("hello.wav", 12, 1) + Record(Bytes(56, 'x'), 12, 1),
       {}, failed, "9", {{"names/hello.wav", "xhe"}}, 1},
      {"a length past the pack", Header(12) + Record("big.wav", 12, 2000000000) + Record("", 0, 0), {}, failed, "7", {}, 0},
      {"a negative length", Header(12) + Record("neg.wav", 12, -5) + Record("", 0, 0), {}, failed, "7", {}, 0},
      {"a negative offset", Header(12) + Record("off.wav", -1, 4) + Record("", 0, 0), {}, failed, "7", {}, 0},
      {"names.dat lands in the sounds folder", MakePack({{"fn1.wav", "ann"}, {"..\\names.dat", "1\n"}}), {}, done,
       "", {{"names.dat", "1\nfn"}}, 2},
  };
  // clang-format on
  // A folder named "C:" below the destination must not make a drive letter a sub-folder.
  for (const std::string name :
       {"/etc/x.wav", "\\x.wav", "C:\\x.wav", "..\\..\\x.wav", "sub/../../../x.wav", ".."}) {
    // clang-format off
    rows.push_back({"outside the sound tree: " + name, MakePack({{name, "evil"}, {"after.wav", "a"}}), {{"names/C:", ""}},
                    failed, std::to_string(name.size()), {{"x.wav", none}, {"../x.wav", none}, {"names/after.wav", none}}, 0});
    // clang-format on
  }
  for (const auto& [name, content, before, result, message, files, count] : rows) {
    SCOPED_TRACE(name);
    const strikora::testing::TempDir dir;
    const fs::path sounds = dir / "sounds", pack = dir / "test.des";
    fs::create_directories(sounds);
    for (const auto& [file, bytes] : before) {
      fs::create_directories(bytes.empty() ? sounds / file : (sounds / file).parent_path());
      if (!bytes.empty()) std::ofstream(sounds / file) << bytes;
    }
    if (content) std::ofstream(pack, std::ios::binary) << *content;
    int events = 0;
    std::string messages;
    const UnpackHost host{[&] { ++events; }, [&](const std::string& t) { messages += t; }, {}};
    EXPECT_EQ(UnpackSoundPack(pack, sounds / "names", sounds, host), result);
    EXPECT_EQ(messages, message);
    for (const auto& [file, bytes] : files) {
      EXPECT_EQ(fs::exists(sounds / file) ? std::optional(ReadFile(sounds / file)) : std::nullopt,
                bytes)
          << file;
    }
    EXPECT_EQ(FilesUnder(sounds), count);
    EXPECT_TRUE(fs::is_directory(sounds / "names"));
    // The splash window's keys stay live, record by record.
    EXPECT_TRUE(!name.starts_with("4097") || events == 4097) << events;
  }
  const strikora::testing::TempDir dir;  // a destination whose parent is missing
  std::ofstream(dir / "a.des", std::ios::binary) << MakePack({{"a.wav", "a"}});
  EXPECT_THROW((void)UnpackSoundPack(dir / "a.des", dir / "no/such", dir.Path(), UnpackHost{}),
               fs::filesystem_error);
}

}  // namespace
}  // namespace strikora
