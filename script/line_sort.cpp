#include "script/line_sort.h"

#include <algorithm>

#include "engine/marshalling.h"

TLineSort::TLineSort(size_t count, lua_Integer user)
    : TCallbackLoop(false), FOrder(count), FScratch(count / 2 + 1), FUser(user) {
  for (size_t i = 0; i < count; ++i)
    FOrder[i] = uint32_t(i);
  FRanges.push_back({0, uint32_t(count), 0});
  Advance();
}

const std::vector<uint32_t> &TLineSort::Sort(lua_State *L, int comparison, int linesTable) {
  Run(L, comparison, "SortLines", linesTable);
  return FOrder;
}

int TLineSort::PushArguments(lua_State *L) {
  lua_rawgeti(L, ItemsIndex, lua_Integer(FFirst) + 1);
  lua_rawgeti(L, ItemsIndex, lua_Integer(FSecond) + 1);
  lua_pushinteger(L, FUser);
  return 3;
}

void TLineSort::TakeResult(lua_State *L) {
  auto result = int32_t(uint32_t(LuaCheckInteger(L, -1)));
  Answer(result < 0);
}

// Top-down, each range's halves sorted before it is merged, so the lower levels
// work on lines that are still in the cache.
void TLineSort::Advance() {
  for (;;) {
    if (FMerging) {
      const TRange &range = FRanges.back();
      uint32_t *items = FOrder.data() + range.Start;
      size_t half = range.Count / 2;
      if (FLeft < half && FRight < range.Count) {
        FFirst = items[FRight];
        FSecond = FScratch[FLeft];
        return;
      }
      while (FLeft < half)
        items[FOut++] = FScratch[FLeft++];
      FMerging = false;
      FRanges.pop_back();
      continue;
    }
    if (FRanges.empty()) {
      FDone = true;
      return;
    }
    TRange &range = FRanges.back();
    uint32_t half = range.Count / 2;
    if (range.Count < 2) {
      FRanges.pop_back();
    } else if (range.Stage == 0) {
      range.Stage = 1;
      FRanges.push_back({range.Start, half, 0});
    } else if (range.Stage == 1) {
      range.Stage = 2;
      FRanges.push_back({range.Start + half, range.Count - half, 0});
    } else {
      // The first of the right half before the last of the left, or they are in order.
      FFirst = FOrder[range.Start + half];
      FSecond = FOrder[range.Start + half - 1];
      return;
    }
  }
}

void TLineSort::Answer(bool before) {
  if (FMerging) {
    uint32_t *items = FOrder.data() + FRanges.back().Start;
    items[FOut++] = before ? items[FRight++] : FScratch[FLeft++];
  } else if (!before) {
    FRanges.pop_back(); // already in order
  } else {
    uint32_t *items = FOrder.data() + FRanges.back().Start;
    std::copy(items, items + FRanges.back().Count / 2, FScratch.data());
    FLeft = 0;
    FRight = FRanges.back().Count / 2;
    FOut = 0;
    FMerging = true;
    if (FRight == 1) // the check compared the two lines this merge starts with
      items[FOut++] = items[FRight++];
  }
  Advance();
}
