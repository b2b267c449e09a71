#include "menus/ListOrder.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <string>

namespace strikora {
namespace {

// A line's number, or 0 when the line is anything but one whole number (spaces and a
// Windows line end around it are allowed).
int ParseEntry(const std::string& line, int firstNameCount) {
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return 0;
  const auto last = line.find_last_not_of(" \t\r");
  const char* begin = line.data() + first;
  const char* end = line.data() + last + 1;
  if (*begin == '+') ++begin;
  int value = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end) return 0;
  return value >= 1 && value <= firstNameCount ? value : 0;
}

}  // namespace

void ReadListOrder(std::istream& in, int firstNameCount, ListOrderTable& order) {
  const int count = std::min(firstNameCount, kListPositions);
  constexpr std::size_t kLongestLine = 32;  // longer than any number: not one
  for (int j = 0; j < count; ++j) {
    // A character at a time, keeping at most kLongestLine of them: a file that is one
    // endless line costs no memory.
    std::string line;
    bool tooLong = false;
    int c = in.get();
    if (c == std::char_traits<char>::eof()) return;
    for (; c != std::char_traits<char>::eof() && c != '\n'; c = in.get()) {
      if (line.size() < kLongestLine) {
        line.push_back(static_cast<char>(c));
      } else {
        tooLong = true;
      }
    }
    if (tooLong) line.clear();
    order[static_cast<std::size_t>(j)] =
        static_cast<std::int16_t>(ParseEntry(line, firstNameCount));
  }
}

void ReadListOrder(const std::filesystem::path& file, int firstNameCount, ListOrderTable& order) {
  std::ifstream in(file);
  if (!in) return;
  ReadListOrder(in, firstNameCount, order);
}

}  // namespace strikora
