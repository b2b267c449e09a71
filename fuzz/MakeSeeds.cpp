// Writes the fuzzers' seed files with the game's own writers: packs as the pack tool makes
// them, rosters as the game saves bowlers, the names list as the voice set ships it, and
// settings as the game stores them.
//
//   fuzz_make_seeds CORPUS    (writes CORPUS/pack, CORPUS/roster, CORPUS/names_dat,
//   CORPUS/settings)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sdl/IniSettingsStore.h"
#include "players/Player.h"
#include "tools/ClipList.h"
#include "tools/PackFile.h"

namespace {

namespace fs = std::filesystem;

std::vector<char> V(const std::string& s) {
  return {s.begin(), s.end()};
}

void Put(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A pack as the pack tool writes it, after the fuzzer's first byte: 'R' unpacks it into the
// names folder as the game does, 'r' into the tree's root as the pack tool does.
void Pack(const fs::path& file, const std::vector<strikora::packfile::PackInput>& entries,
          char mode = 'R') {
  const auto bytes = strikora::packfile::BuildPack(entries);
  Put(file, mode + std::string(bytes.begin(), bytes.end()));
}

strikora::Player Bowler(const std::string& first, const std::string& last, int games) {
  strikora::Player p;
  p.SetFirstName(first);
  p.SetLastName(last);
  p.SetLefthanded(games % 2 == 1);
  for (int g = 0; g < games; ++g) {
    p.ResetScore();
    for (int frame = 1; frame <= 10; ++frame) p.AddScore(frame, (g + frame) % 11, 0);
    p.GameOver(static_cast<std::int16_t>(g % 2 + 1), static_cast<std::int16_t>(g % 5 + 1));
  }
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: fuzz_make_seeds CORPUS\n", stderr);
    return 2;
  }
  const fs::path out = argv[1];
  // The header of a silent 22050 Hz mono 16-bit WAV with no samples.
  std::string riff;
  for (const int byte : std::initializer_list<int>{
           'R', 'I', 'F', 'F', 36, 0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
           ' ', 16,  0,   0,   0,  1, 0,   1,   0,   0x22, 0x56, 0,   0,   0x44, 0xac,
           0,   0,   2,   0,   16, 0, 'd', 'a', 't', 'a',  0,    0,   0,   0}) {
    riff += static_cast<char>(byte);
  }
  Pack(out / "pack" / "names.des",
       {{"fn1.wav", V(riff)}, {"fn2.wav", V(riff + "ab")}, {"..\\names.dat", V("2\n1\n")}});
  Pack(out / "pack" / "names-at-root.des", {{"fn1.wav", V(riff)}, {"..\\names.dat", V("1\n")}},
       'r');
  Pack(out / "pack" / "sub.des", {{"sub\\a.wav", V(riff)}, {"B.wav", V("b")}});
  Pack(out / "pack" / "empty.des", {});
  // The fuzzer's own layout ('S'): the number of entries, then for each its name and its bytes
  // (each ended by a backslash and one more character), then its offset and length flags.
  const std::string no(2, '\0');  // offset and length as laid out
  Put(out / "pack" / "pieces", "S" + std::string(1, '\2') + "fn1.wav\\|RIFF\\|" + no +
                                   "..\\\\names.dat\\|2\n\\|" + no + std::string(1, '\1'));

  const fs::path roster = out / "roster" / "three.qbx";
  fs::create_directories(roster.parent_path());
  fs::remove(roster);
  Bowler("fn12.wav", "K.wav", 3).Save(roster, 1);
  Bowler("M.wav", "B.wav", 0).Save(roster, 2);
  Bowler("fn200.wav", "Z.wav", 12).Save(roster, 3);
  const fs::path one = out / "roster" / "one.qbx";
  fs::remove(one);
  Bowler("fn1.wav", "A.wav", 1).Save(one, 1);

  const auto count = static_cast<unsigned>(strikora::voiceset::FirstNames().size()) + 30;
  Put(out / "names_dat" / "default",
      std::string{static_cast<char>(count & 0xFF), static_cast<char>(count >> 8)} +
          strikora::voiceset::NamesDatText());
  Put(out / "names_dat" / "short", std::string("\x21\x00", 2) + "3\r\n1\n+2\n 7 \nx\n");

  const fs::path ini = out / "settings.tmp" / "settings.ini";
  fs::remove_all(ini.parent_path());
  {
    strikora::sdl::IniSettingsStore store(ini);
    store.SaveSetting("KORVELDA", "Menu", "Play", "1");
    store.SaveSetting("KORVELDA", "Menu", "Skill", "3");
    store.SaveSetting("Other/App", " odd ", "key=x", "a [value]; # with\nlines ");
  }
  Put(out / "settings" / "stored", "KORVELDA\\|Menu\\|Skill\\|4\\|" + Slurp(ini));
  fs::remove_all(ini.parent_path());
  return 0;
}
