// The line list of a running line iteration or sort. Lines are kept as
// references into the text being processed (and, once rewritten, into the
// output built so far), not as copies: a 200 MB input must not turn into
// millions of small allocations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/line_model.h"

class TLineList {
public:
  // Splits text, which must outlive the list, at LF and CR LF.
  explicit TLineList(std::string_view text);

  // Lines in their current numbering: the ones already processed (rewritten or
  // kept), then the current one and the ones not reached yet.
  size_t Count() const { return FWrite + (FRefs.size() - FRead); }
  std::string_view Line(size_t index) const;

  // Iteration: the line at the read position is processed by replacing or deleting it.
  bool AtEnd() const { return FRead == FRefs.size(); }
  std::string_view Current() const { return Text(FRefs[FRead]); }
  // Appends text and the current line's own line end to the output.
  void ReplaceCurrent(std::string_view text);
  void DeleteCurrent() { ++FRead; }
  // The output of a finished iteration: every kept line with its line end.
  std::string TakeOutput();

  // Sorting: the lines (all unprocessed) reordered by a permutation of their indices.
  size_t Size() const { return FRefs.size(); }
  void Reorder(const std::vector<uint32_t>& order);
  // All lines joined with their own line ends.
  std::string Join() const;

private:
  struct TRef {
    uint64_t OffsetAndKind; // offset << 3 | in-output flag << 2 | line end
    uint64_t Length;
  };
  static TRef MakeRef(uint64_t offset, uint64_t length, bool inOutput, TLineEnd end) {
    return {offset << 3 | uint64_t(inOutput) << 2 | uint64_t(end), length};
  }
  static TLineEnd EndOf(const TRef& ref) { return TLineEnd(ref.OffsetAndKind & 3); }
  std::string_view Text(const TRef& ref) const;

  std::string_view FSource;
  std::string FOutput;
  std::vector<TRef> FRefs;
  size_t FWrite = 0; // processed lines kept, at the front of FRefs
  size_t FRead = 0;  // the next line to process
};
