#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <istream>

namespace strikora {

// The order in which the recorded first names are offered: position j (from 0) of the list
// speaks catalogue entry ListOrder[j] (1..FirstNameCount; 0 is an empty item).
inline constexpr int kListPositions = 201;
using ListOrderTable = std::array<std::int16_t, kListPositions>;

// Reads "names.dat": one whole number per line, the first firstNameCount lines. A line that is
// not a whole number, or names no catalogue entry (outside 1..firstNameCount), gives an empty
// item; positions past a short file keep what they held. Never throws: a missing or unreadable
// file leaves the table as it was.
void ReadListOrder(std::istream& in, int firstNameCount, ListOrderTable& order);
void ReadListOrder(const std::filesystem::path& file, int firstNameCount, ListOrderTable& order);

}  // namespace strikora
