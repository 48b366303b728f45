// The line list of a running line iteration or sort. Lines are kept as
// references into the text being processed (and, once rewritten, into the
// output built so far), never as copies: a 200 MB input must not turn into
// millions of small allocations. An iteration walks the text without an index;
// the index of all lines is built only when a line is asked for by number. Lines
// kept unchanged are not copied at all until a later line changes, so a filter
// that touches few lines costs little memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/line_model.h"

class TLineRewriter {
public:
  // Lines of text, which must outlive the list, cut at LF and CR LF.
  explicit TLineRewriter(std::string_view text);

  // Lines in their current numbering: the ones already processed (rewritten or
  // kept), then the current one and the ones not reached yet.
  size_t Count() const;
  std::string_view Line(size_t index) const;

  // Iteration: the line at the read position is processed by replacing or deleting it.
  bool AtEnd() const { return FCurrentStart > FSource.size(); }
  std::string_view Current() const { return FSource.substr(FCurrentStart, FCurrentLength); }
  // Gives the current line the text; it keeps its own line end.
  void ReplaceCurrent(std::string_view text);
  void DeleteCurrent();
  // The output of a finished iteration: every kept line with its line end; none
  // when every line was kept unchanged (the text stays as it is).
  std::optional<std::string> TakeOutput();

  // Sorting (before any line is processed): reorders the lines by a permutation
  // of their indices, and joins them with their own line ends.
  void Reorder(const std::vector<uint32_t> &order);
  std::string Join() const;

private:
  struct TRef {
    uint64_t OffsetAndKind; // offset << 3 | in-output flag << 2 | line end
    uint64_t Length;
  };
  static TRef MakeRef(uint64_t offset, uint64_t length, bool inOutput, TLineEnd end) {
    return {offset << 3 | uint64_t(inOutput) << 2 | uint64_t(end), length};
  }
  static TLineEnd EndOf(const TRef &ref) { return TLineEnd(ref.OffsetAndKind & 3); }
  std::string_view Text(const TRef &ref) const;
  void FindLineAt(size_t start);
  void Advance();
  void BuildIndex() const;
  void CopyRunToOutput(size_t end);

  std::string_view FSource;
  std::string FOutput;
  // The current line in the source; its start lies past the end when none is left.
  size_t FCurrentStart = 0;
  size_t FCurrentLength = 0;
  TLineEnd FCurrentEnd = LineEndNone;
  size_t FNextStart = 0;
  size_t FKept = 0;     // processed lines that were kept
  size_t FRunStart = 0; // kept lines from here on are unchanged and still only in the source
  // Rewritten lines whose text holds an LF or ends with CR, or that are empty
  // without line end: the output alone does not show where they end.
  std::vector<TRef> FIrregular;
  // The index, built on demand: kept lines first, the unprocessed ones from FRead on.
  mutable bool FIndexed = false;
  mutable std::vector<TRef> FRefs;
  mutable size_t FRead = 0;
};
