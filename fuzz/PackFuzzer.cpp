// The pack reader on any bytes, or on packs laid out from the input's pieces: it unpacks into a
// sound tree that lies twenty folders deep in the workspace, and nothing may appear anywhere in
// the workspace but the pack and that tree, however the entry names climb. No file may be
// larger than the pack and its two extra bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "audio/SoundPack.h"
#include "fuzz/Workspace.h"

namespace {

namespace fs = std::filesystem;
using strikora::fuzz::Workspace;

struct Tree {
  Tree() {
    fs::path deep = ws.Root();
    allowed.insert(deep);
    for (int i = 0; i < 20; ++i) allowed.insert(deep /= "up" + std::to_string(i));
    fs::create_directories(deep);
    pack = deep / "test.des";
    sounds = deep / "sounds";
    allowed.insert(pack);
    allowed.insert(sounds);
  }
  Workspace ws;
  std::set<fs::path> allowed;  // the folders down to the tree, the pack and the tree's root
  fs::path pack, sounds;
};

void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A pack laid out from the input's pieces with its offsets and lengths right (or, where the
// input says so, any value): the fuzzer then spends its time on names rather than on lengths.
std::string PackFromPieces(FuzzedDataProvider& in) {
  std::string data, directory;
  const int count = in.ConsumeIntegralInRange(0, 8);
  for (int i = 0; i < count; ++i) {
    std::string record = in.ConsumeRandomLengthString(64).substr(0, 56);
    const std::string bytes = in.ConsumeRandomLengthString(64);
    record.resize(56, '\0');
    const bool anyOffset = in.ConsumeBool();
    const bool anyLength = in.ConsumeBool();
    Put32(record, anyOffset ? in.ConsumeIntegral<std::uint32_t>()
                            : static_cast<std::uint32_t>(12 + data.size()));
    Put32(record, anyLength ? in.ConsumeIntegral<std::uint32_t>()
                            : static_cast<std::uint32_t>(bytes.size()));
    directory += record;
    data += bytes;
  }
  std::string pack;
  Put32(pack, 0);
  Put32(pack, static_cast<std::uint32_t>(12 + data.size()));
  Put32(pack, static_cast<std::uint32_t>(count));
  return pack + data + directory + std::string(in.ConsumeBool() ? 0 : 64, '\0');
}

}  // namespace

// The first byte chooses: 'S' or 's' lays a pack out from the rest, anything else takes the
// rest as the pack's bytes. Lower case unpacks straight into the root of the tree, as the pack
// tool does without --root, where one climbing step leaves it; otherwise into the names folder
// below it, as the game does.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Tree tree;
  if (size == 0) return 0;
  const bool intoRoot = data[0] >= 'a' && data[0] <= 'z';
  std::string bytes;
  if (data[0] == 'S' || data[0] == 's') {
    FuzzedDataProvider in(data + 1, size - 1);
    bytes = PackFromPieces(in);
  } else {
    bytes.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  }
  fs::remove_all(tree.sounds);
  fs::create_directories(tree.sounds / "names" / "sub");
  strikora::fuzz::WriteFile(tree.pack, bytes);

  strikora::UnpackHost host;
  int events = 0;
  host.DoEvents = [&events] { ++events; };
  host.MessageBox = [](const std::string& text) { STRIKORA_FUZZ_CHECK(!text.empty()); };
  const fs::path dest = intoRoot ? tree.sounds : tree.sounds / "names";
  (void)strikora::UnpackSoundPack(tree.pack, dest, tree.sounds, host);
  STRIKORA_FUZZ_CHECK(events <= 4097);

  const std::string below = tree.sounds.native() + "/";
  for (auto it = fs::recursive_directory_iterator(tree.ws.Root());
       it != fs::recursive_directory_iterator(); ++it) {
    const bool inTree = it->path().native().starts_with(below);
    STRIKORA_FUZZ_CHECK(inTree || tree.allowed.contains(it->path()));
    if (inTree && it->is_regular_file()) {
      STRIKORA_FUZZ_CHECK(it->file_size() <= bytes.size() + 2);
    }
  }
  return 0;
}
