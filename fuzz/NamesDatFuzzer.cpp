// The first-name list order on any text and any catalogue size: every position read names an
// entry of the catalogue or the empty item 0, and positions it does not read keep their value.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/Workspace.h"
#include "menus/ListOrder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The catalogue holds -1 (no names) to 200 names; a little either side is tried too.
  const int count = (data[0] | data[1] << 8) % 260 - 30;
  constexpr std::int16_t kUntouched = -7;
  strikora::ListOrderTable order;
  order.fill(kUntouched);
  std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 2, size - 2));
  strikora::ReadListOrder(in, count, order);
  for (int j = 0; j < strikora::kListPositions; ++j) {
    const std::int16_t v = order[static_cast<std::size_t>(j)];
    if (j >= count) {
      STRIKORA_FUZZ_CHECK(v == kUntouched);
    } else {
      STRIKORA_FUZZ_CHECK(v == kUntouched || (v >= 0 && v <= count));
    }
  }
  return 0;
}
