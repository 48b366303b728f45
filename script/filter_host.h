// VIroveridUza: the engine every filter script runs in: the host environment
// plus the PWL table, with print routed to standard error.
#pragma once

#include <optional>
#include <string>

#include "engine/host_environment.h"
#include "script/line_list.h"

class VIroveridUza : public REveVed {
public:
  VIroveridUza();
  static const TLuaClass &StaticClass();
  const TLuaClass &ClassInfo() const override { return StaticClass(); }

  void Open() override;

  // Writes one printed line to standard error (no console conversion).
  void PrintOutput(const TText &msg);

  // The line list of a running ForEachLine, ForEachToken or SortLines (or none).
  TLineList *CurrentLines() const { return FCurrentLines; }
  void SetCurrentLines(TLineList *lines) { FCurrentLines = lines; }

  // The lines of CurrentText outside an iteration, split once and kept until the
  // text changes (a loop over GetLine must not split the whole text every time).
  const TLineList &CurrentTextLines();
  void CurrentTextChanged() { FTextLines.reset(); }

  // Whether one of the iteration functions is running (they do not nest).
  bool Iterating() const { return FIterating; }
  void SetIterating(bool value) { FIterating = value; }

  static VIroveridUza &FromState(lua_State *L);

private:
  TLineList *FCurrentLines = nullptr;
  bool FIterating = false;
  std::optional<TLineList> FTextLines;
  const char *FTextLinesData = nullptr;
  size_t FTextLinesSize = 0;
};
