// SortLines' sort: a merge sort over line numbers, driven by the script's
// comparison function. A merge sort needs fewer comparisons than a quicksort,
// and whatever the comparison answers, it stays inside the list and ends.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/lua_api.h"

class TLineSort {
public:
  // The comparison function is at stack index comparison, the lines as strings
  // at 1 .. n in the table at index linesTable.
  TLineSort(lua_State *L, int comparison, int linesTable, lua_Integer user)
      : FLuaState(L), FComparison(comparison), FLinesTable(linesTable), FUser(user) {}

  // Sorts the line numbers of order. Each comparison runs in its own protected
  // call: an error value that is an integer is a result like any other.
  void Sort(std::vector<uint32_t> &order);

private:
  void SortRange(uint32_t *items, uint32_t *scratch, size_t n);
  bool Before(uint32_t a, uint32_t b);

  lua_State *FLuaState;
  int FComparison;
  int FLinesTable;
  lua_Integer FUser;
  std::vector<uint32_t> FBuffer;
};
