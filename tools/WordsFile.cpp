// strikora-words: writes words.txt beside the packs: for every clip that says something, its
// place in the unpacked sound tree and its words, "menu/psao.wav<TAB>Main menu. ...". The game
// shows these words in its window as the clips play.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/ClipList.h"

int main(int argc, char** argv) {
  namespace vs = strikora::voiceset;
  if (argc != 2) {
    std::fputs("usage: strikora-words FILE\n", stderr);
    return 2;
  }
  const std::filesystem::path file = argv[1];
  const std::filesystem::path temp = file.string() + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    for (const vs::Clip& clip : vs::AllClips()) {
      if (clip.text.empty() || clip.pack == vs::Pack::Beside) continue;
      out << vs::PackDestination(clip.pack) << '/' << clip.file << '\t' << clip.text << '\n';
    }
    if (!out.flush()) {
      std::fprintf(stderr, "strikora-words: cannot write %s\n", temp.c_str());
      return 1;
    }
  }
  std::filesystem::rename(temp, file);
  return 0;
}
