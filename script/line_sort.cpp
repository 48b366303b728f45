#include "script/line_sort.h"

#include <algorithm>

#include "engine/host_boundary.h"
#include "engine/marshalling.h"

void TLineSort::Sort(std::vector<uint32_t> &order) {
  FBuffer.resize(order.size());
  SortRange(order.data(), FBuffer.data(), order.size());
}

// Sorts items[0, n) in place, using scratch[0, n). Top-down, so the lower levels
// work on lines that are still in the cache.
void TLineSort::SortRange(uint32_t *items, uint32_t *scratch, size_t n) {
  if (n < 2)
    return;
  size_t half = n / 2;
  SortRange(items, scratch, half);
  SortRange(items + half, scratch, n - half);
  if (!Before(items[half], items[half - 1]))
    return; // already in order
  std::copy(items, items + half, scratch);
  size_t left = 0, right = half, out = 0;
  while (left < half && right < n)
    items[out++] = Before(items[right], scratch[left]) ? items[right++] : scratch[left++];
  while (left < half)
    items[out++] = scratch[left++];
}

// True when line a sorts before line b: the comparison of a with b is negative.
bool TLineSort::Before(uint32_t a, uint32_t b) {
  lua_State *L = FLuaState;
  lua_pushvalue(L, FComparison);
  lua_rawgeti(L, FLinesTable, lua_Integer(a) + 1);
  lua_rawgeti(L, FLinesTable, lua_Integer(b) + 1);
  lua_pushinteger(L, FUser);
  lua_pcall(L, 3, 1, 0); // an error value stands in for the result
  ThrowIfHostFailed(L);
  auto result = int32_t(uint32_t(LuaCheckInteger(L, -1))); // the low 32 bits, signed
  lua_pop(L, 1);
  return result < 0;
}
