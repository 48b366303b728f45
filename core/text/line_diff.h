// Line differences of two texts (Myers' O(ND) algorithm in linear space) and their
// unified format, as `diff -u` writes it.
//
// A line is everything up to and including its LF; a last line without LF is a line
// of its own and differs from the same line with one, like diff counts it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One step of a shortest edit script: keep old line FOld (which is new line FNew),
// delete old line FOld, or insert new line FNew.
struct TLineEdit {
  enum class TKind { Keep, Delete, Insert };
  TKind FKind = TKind::Keep;
  std::size_t FOld = 0;
  std::size_t FNew = 0;
};

// The lines of a text, each with its LF.
std::vector<std::string_view> SplitDiffLines(std::string_view text);

// A shortest edit script from oldLines to newLines, in order of the lines; deletions
// before insertions where both happen at one place.
std::vector<TLineEdit> DiffLines(const std::vector<std::string_view> &oldLines,
                                 const std::vector<std::string_view> &newLines);

// The unified diff with `context` lines around each change under the headers
// "--- <oldLabel>" and "+++ <newLabel>"; empty when the texts are equal. A line
// without LF is followed by "\ No newline at end of file".
std::string UnifiedDiff(std::string_view oldText, std::string_view newText,
                        std::string_view oldLabel, std::string_view newLabel,
                        std::size_t context = 3);
