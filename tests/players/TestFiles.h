#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/TempDir.h"

namespace strikora::test {

using Bytes = std::vector<std::uint8_t>;

// One roster record laid out by hand, byte by byte, so the file tests never lean on the
// game's own encoder.
class HandRecord {
 public:
  HandRecord(std::string_view first, std::string_view last) {
    bytes_.assign(2054, 0);
    for (std::size_t i = 0; i < 12; ++i) {
      bytes_[i] = i < first.size() ? static_cast<std::uint8_t>(first[i]) : ' ';
      bytes_[12 + i] = i < last.size() ? static_cast<std::uint8_t>(last[i]) : ' ';
    }
  }
  HandRecord& Put16(std::size_t at, std::uint16_t value) {
    bytes_.at(at) = static_cast<std::uint8_t>(value & 0xFFU);
    bytes_.at(at + 1) = static_cast<std::uint8_t>(value >> 8U);
    return *this;
  }
  HandRecord& Put8(std::size_t at, std::uint8_t value) {
    bytes_.at(at) = value;
    return *this;
  }
  [[nodiscard]] const Bytes& Get() const { return bytes_; }

 private:
  Bytes bytes_;
};

inline Bytes Concat(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

inline void WriteBytes(const std::filesystem::path& file, const Bytes& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

inline Bytes ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t count) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
          bytes.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

}  // namespace strikora::test
