// SortLines' sort: a merge sort over line numbers, driven by the script's
// comparison function. A merge sort needs fewer comparisons than a quicksort,
// and whatever the comparison answers, it stays inside the list and ends.
// The comparisons run as a callback loop, many in one protected call, so the
// sort keeps its place between comparisons instead of on the C stack: an
// error raised by a comparison ends the protected call, its value is read as
// the result, and the sort goes on where it stood.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/lua_api.h"
#include "script/callback_loop.h"

class TLineSort : public TCallbackLoop {
public:
  TLineSort(size_t count, lua_Integer user);

  // Sorts with the comparison function at stack index comparison; the lines as
  // strings are at 1 .. count in the table at index linesTable. Returns the line
  // numbers in their new order.
  const std::vector<uint32_t> &Sort(lua_State *L, int comparison, int linesTable);

protected:
  bool AtEnd() const override { return FDone; }
  int PushArguments(lua_State *L) override;
  // The low 32 bits of the integer result, signed: negative sorts the first
  // line before the second.
  void TakeResult(lua_State *L) override;

private:
  // A range of the order still to sort: its two halves, then their merge.
  struct TRange {
    uint32_t Start, Count;
    uint8_t Stage;
  };

  // Runs the sort up to the next comparison it needs, or to its end.
  void Advance();
  void Answer(bool before);

  std::vector<uint32_t> FOrder, FScratch;
  std::vector<TRange> FRanges;
  lua_Integer FUser;
  bool FDone = false;
  bool FMerging = false; // else the comparison is the check whether the halves need a merge
  size_t FLeft = 0, FRight = 0, FOut = 0;
  uint32_t FFirst = 0, FSecond = 0; // the lines of the pending comparison
};
