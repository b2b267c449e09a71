#include "tools/PackFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace strikora::packfile {
namespace {

namespace fs = std::filesystem;

void PutInt32(std::vector<char>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::int32_t GetInt32(const char* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return static_cast<std::int32_t>(v);
}

void CheckName(const std::string& name) {
  if (name.empty()) throw std::invalid_argument("an entry has an empty name");
  if (name.size() > kMaxNameLength) {
    throw std::invalid_argument("entry name longer than 55 characters: " + name);
  }
  if (name.find('\0') != std::string::npos) {
    throw std::invalid_argument("entry name holds a NUL byte: " + name);
  }
  if (name.front() == ' ' || name.back() == ' ') {
    throw std::invalid_argument("entry name begins or ends with a space: '" + name + "'");
  }
}

}  // namespace

std::string ToPackName(std::string_view relative) {
  std::string name(relative);
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

std::vector<char> BuildPack(const std::vector<PackInput>& entries) {
  if (entries.size() > static_cast<std::size_t>(kMaxEntries)) {
    throw std::invalid_argument("a pack holds at most 4097 files");
  }
  // Each file is followed by two zero bytes: the reader copies the two bytes after every
  // entry into the file, and zeros there keep each unpacked file the same whatever its
  // neighbours are (WAV and MP3 readers ignore the tail).
  std::int64_t dataSize = 0;
  for (const auto& e : entries) {
    CheckName(e.Name);
    dataSize += static_cast<std::int64_t>(e.Bytes.size()) + 2;
  }
  // One empty record after the last entry ends the directory.
  const std::int64_t directoryOffset = kHeaderSize + dataSize;
  const std::int64_t total =
      directoryOffset + (static_cast<std::int64_t>(entries.size()) + 1) * kRecordSize;
  if (total > std::numeric_limits<std::int32_t>::max()) {
    throw std::invalid_argument("a pack must stay below 2 GiB");
  }

  std::vector<char> out(static_cast<std::size_t>(total), 0);
  PutInt32(out, 0, kMagic);
  PutInt32(out, 4, static_cast<std::uint32_t>(directoryOffset));
  PutInt32(out, 8, static_cast<std::uint32_t>(entries.size()));
  std::size_t at = kHeaderSize;
  std::size_t record = static_cast<std::size_t>(directoryOffset);
  for (const auto& e : entries) {
    std::copy(e.Bytes.begin(), e.Bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
    std::memcpy(out.data() + record, e.Name.data(), e.Name.size());
    PutInt32(out, record + 56, static_cast<std::uint32_t>(at));
    PutInt32(out, record + 60, static_cast<std::uint32_t>(e.Bytes.size()));
    at += e.Bytes.size() + 2;
    record += kRecordSize;
  }
  return out;
}

std::vector<char> ReadWholeFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + file.string());
  in.seekg(0, std::ios::end);
  const auto size = static_cast<std::streamoff>(in.tellg());
  if (size < 0) throw std::runtime_error("cannot read " + file.string());
  std::vector<char> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(bytes.data(), size);
  if (in.gcount() != size) throw std::runtime_error("cannot read " + file.string());
  return bytes;
}

bool WriteIfChanged(const fs::path& file, const std::vector<char>& bytes) {
  std::error_code ec;
  if (fs::is_regular_file(file, ec) && fs::file_size(file, ec) == bytes.size() &&
      ReadWholeFile(file) == bytes) {
    return false;
  }
  fs::path temp = file;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + temp.string());
  }
  fs::rename(temp, file);
  return true;
}

std::vector<PackListing> ListPack(const fs::path& pack) {
  const std::vector<char> bytes = ReadWholeFile(pack);
  const auto size = static_cast<std::int64_t>(bytes.size());
  // Past the end the pack reads as zeros, as in the game.
  auto at = [&](std::int64_t i) { return i >= 0 && i < size ? bytes[i] : '\0'; };
  char header[kHeaderSize];
  for (int i = 0; i < kHeaderSize; ++i) header[i] = at(i);
  const std::int64_t directoryOffset = GetInt32(header + 4);
  if (directoryOffset < 0) throw std::runtime_error("the directory offset is negative");

  std::vector<PackListing> list;
  for (int i = 0; i < kMaxEntries; ++i) {
    char record[kRecordSize];
    for (int b = 0; b < kRecordSize; ++b) record[b] = at(directoryOffset + i * kRecordSize + b);
    const char* nul = static_cast<const char*>(std::memchr(record, 0, 56));
    if (nul == nullptr) {
      throw std::runtime_error("record " + std::to_string(i) + " has a name with no terminator");
    }
    std::string name(static_cast<const char*>(record), nul);
    const auto first = name.find_first_not_of(' ');
    if (first == std::string::npos) break;
    name = name.substr(first, name.find_last_not_of(' ') - first + 1);
    list.push_back({ToPackName(name), GetInt32(record + 56), GetInt32(record + 60)});
  }
  return list;
}

}  // namespace strikora::packfile
