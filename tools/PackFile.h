#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Writing and listing ".des" sound packs: a 12-byte header, the files' bytes, then a directory
// of 64-byte records (a NUL-terminated name in 56 bytes, offset, length), integers 32-bit
// little-endian. The game's reader is audio/SoundPack.h.
namespace strikora::packfile {

inline constexpr std::size_t kMaxNameLength = 55;
inline constexpr int kMaxEntries = 4097;
inline constexpr std::int64_t kHeaderSize = 12;
inline constexpr std::int64_t kRecordSize = 64;
// First word of the header: the reader ignores it; it lets the tool tell a pack at a glance.
inline constexpr std::uint32_t kMagic = 0x4B504B53;  // "SKPK" on disk

struct PackInput {
  std::string Name;  // as stored: folders separated by "\" ("..\names.dat")
  std::vector<char> Bytes;
};

struct PackListing {
  std::string Name;
  std::int32_t Offset = 0;
  std::int32_t Length = 0;
};

// A pack entry name for a path relative to the destination folder ("/" becomes "\").
[[nodiscard]] std::string ToPackName(std::string_view relative);

// Throws std::invalid_argument for an entry the reader could not give back under its name
// (empty, padded with spaces, over 55 characters, holding a NUL), for more than 4097 entries
// or for a pack whose offsets would not fit in 32 bits.
[[nodiscard]] std::vector<char> BuildPack(const std::vector<PackInput>& entries);

// Replaces file with bytes through a temporary file, unless it already holds exactly them, so
// that an unchanged pack keeps its time stamp. Returns true when the file was written.
bool WriteIfChanged(const std::filesystem::path& file, const std::vector<char>& bytes);

// Reads the directory by the reader's rules (up to 4097 records, ending at the first empty
// name). Throws std::runtime_error when the pack cannot be read or a name has no terminator.
[[nodiscard]] std::vector<PackListing> ListPack(const std::filesystem::path& pack);

[[nodiscard]] std::vector<char> ReadWholeFile(const std::filesystem::path& file);

}  // namespace strikora::packfile
