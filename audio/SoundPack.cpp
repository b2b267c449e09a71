#include "audio/SoundPack.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <vector>

namespace strikora {
namespace {

namespace fs = std::filesystem;

constexpr int kRecordCount = 4097;
constexpr std::int64_t kRecordSize = 64;
constexpr std::size_t kNameSize = 56;
constexpr std::int64_t kHeaderSize = 12;
constexpr std::int64_t kPieceSize = std::int64_t{1} << 20;  // bytes copied at a time

// Any fault that ends the pack: the caller shows the length of the name in hand.
struct PackFault : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A fault with the system's reason, read straight after the failing call.
std::string Because(const std::string& what) {
  const int err = errno;
  return err != 0 ? what + ": " + std::strerror(err) : what;
}

std::int32_t ReadInt32(const char* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return static_cast<std::int32_t>(v);
}

// The pack seen as its bytes followed by zeros without end, as the game has always read it.
class PackBytes {
 public:
  explicit PackBytes(const fs::path& file) : In(file, std::ios::binary) {
    if (!In) throw PackFault(Because("the pack cannot be opened"));
    In.seekg(0, std::ios::end);
    Size = static_cast<std::int64_t>(In.tellg());
    if (Size < 0) throw PackFault(Because("the pack cannot be read"));
    // An empty or cut-off file is not a pack that happens to hold nothing.
    if (Size < kHeaderSize) throw PackFault("the file is too short to be a pack");
  }

  [[nodiscard]] std::int64_t size() const { return Size; }

  // Fills out[0, count) from offset; what lies past the end of the pack reads as zeros.
  void Read(std::int64_t offset, std::int64_t count, char* out) {
    const std::int64_t avail = std::clamp<std::int64_t>(Size - offset, 0, count);
    if (avail > 0) {
      In.seekg(offset);
      In.read(out, avail);
      if (In.gcount() != avail) throw PackFault(Because("the pack cannot be read"));
    }
    std::memset(out + avail, 0, static_cast<std::size_t>(count - avail));
  }

 private:
  std::ifstream In;
  std::int64_t Size = 0;
};

std::string TrimSpaces(std::string s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

bool StartsWith(const fs::path& path, const fs::path& prefix) {
  auto p = path.begin();
  for (const auto& part : prefix) {
    if (part.empty()) continue;  // a trailing separator leaves an empty last element
    if (p == path.end() || *p != part) return false;
    ++p;
  }
  return true;
}

// The file an entry names below dest, or nothing when the name is absolute or would land
// outside the sound tree. Packs are made on Windows, so "\" separates folders.
std::optional<fs::path> EntryTarget(const fs::path& dest, const fs::path& root,
                                    const std::string& name) {
  if (name.front() == '\\') return std::nullopt;
  if (name.size() >= 2 && name[1] == ':') return std::nullopt;  // a drive letter
  fs::path target = fs::absolute(dest);
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t end = std::min(name.find('\\', start), name.size());
    if (end > start) target /= name.substr(start, end - start);
    start = end + 1;
  }
  target = target.lexically_normal();
  const fs::path base = fs::absolute(root).lexically_normal();
  if (target == base || !StartsWith(target, base)) return std::nullopt;
  return target;
}

// Copies count bytes from offset of the pack into a new file at target, a piece at a time, so
// that even a pack of gigabytes never takes more memory than one piece.
void WriteEntry(PackBytes& pack, std::int64_t offset, std::int64_t count, const fs::path& target,
                std::vector<char>& buffer) {
  // A folder of the same name is not deleted: creating the file then fails.
  std::error_code ec;
  const auto status = fs::symlink_status(target, ec);
  if (fs::exists(status) && !fs::is_directory(status) && !fs::remove(target, ec)) {
    throw PackFault("the old " + target.string() + " cannot be deleted: " + ec.message());
  }
  errno = 0;
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  if (!out) throw PackFault(Because(target.string() + " cannot be created"));
  for (std::int64_t done = 0; done < count;) {
    const std::int64_t piece = std::min<std::int64_t>(count - done, kPieceSize);
    buffer.resize(static_cast<std::size_t>(piece));
    pack.Read(offset + done, piece, buffer.data());
    out.write(buffer.data(), piece);
    if (!out) break;
    done += piece;
  }
  out.close();
  if (!out) throw PackFault(Because(target.string() + " cannot be written"));
}

UnpackResult Fail(const UnpackHost& host, const std::string& nameInHand, const std::string& why) {
  if (host.Explain) host.Explain(why);
  if (host.MessageBox) host.MessageBox(std::to_string(nameInHand.size()));
  return UnpackResult::Failed;
}

}  // namespace

UnpackResult UnpackSoundPack(const fs::path& pack, const fs::path& dest, const fs::path& soundsRoot,
                             const UnpackHost& host) {
  // Only the last folder is made; a missing parent is the caller's fault and is thrown.
  if (!fs::is_directory(dest)) fs::create_directory(dest);

  std::error_code ec;
  if (!fs::exists(pack, ec)) return UnpackResult::Missing;

  std::string nameInHand;
  try {
    errno = 0;
    PackBytes bytes(pack);
    std::array<char, kHeaderSize> header{};
    bytes.Read(0, kHeaderSize, header.data());
    const std::int64_t directoryOffset = ReadInt32(header.data() + 4);
    if (directoryOffset < 0) throw PackFault("the directory offset is negative");

    std::vector<char> directory(static_cast<std::size_t>(kRecordCount * kRecordSize));
    bytes.Read(directoryOffset, kRecordCount * kRecordSize, directory.data());

    std::vector<char> buffer;  // reused from file to file
    for (int i = 0; i < kRecordCount; ++i) {
      if (host.DoEvents) host.DoEvents();
      const char* record = directory.data() + i * kRecordSize;
      const char* nul = static_cast<const char*>(std::memchr(record, 0, kNameSize));
      if (nul == nullptr) {
        throw PackFault("record " + std::to_string(i) + " holds a name with no terminator");
      }
      std::string name = TrimSpaces(std::string(record, nul));
      std::replace(name.begin(), name.end(), '/', '\\');
      nameInHand = name;
      if (name.empty()) break;

      const std::int64_t offset = ReadInt32(record + kNameSize);
      const std::int64_t length = ReadInt32(record + kNameSize + 4);
      // A negative position, or a length larger than the whole pack, is a damaged directory:
      // refusing it keeps a bad pack from allocating gigabytes of zeros.
      if (offset < 0 || length < 0 || length > bytes.size()) {
        throw PackFault("entry " + name + " claims bytes outside the pack (offset " +
                        std::to_string(offset) + ", length " + std::to_string(length) + ")");
      }
      const auto target = EntryTarget(dest, soundsRoot, name);
      if (!target) throw PackFault("entry " + name + " would land outside the sound tree");

      // The file takes the two bytes after its entry too; the game's packs have always
      // unpacked that way, and WAV and MP3 readers ignore them.
      WriteEntry(bytes, offset, length + 2, *target, buffer);
    }
  } catch (const PackFault& e) {
    return Fail(host, nameInHand, e.what());
  } catch (const std::ios_base::failure& e) {
    return Fail(host, nameInHand, e.what());
  } catch (const fs::filesystem_error& e) {
    return Fail(host, nameInHand, e.what());
  }
  return UnpackResult::Done;
}

}  // namespace strikora
