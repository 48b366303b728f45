// The text as a list of lines, each keeping its own line end, so that splitting and
// joining again gives back the very same bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum TLineEnd { LineEndNone = 0, LineEndLF = 1, LineEndCRLF = 2 };

struct TLine {
  std::string Text; // without the line break; a lone CR is part of the text
  TLineEnd LineEnd;

  bool operator==(const TLine &) const = default;
};

// Lines end at LF or CR LF; characters after the last break form a final line with
// LineEndNone. An empty text has no lines, and a final break no empty line after it.
std::vector<TLine> SplitLines(std::string_view text);

// Every line followed by LF, CR LF or nothing (LineEndNone and any other value).
std::string JoinLines(const std::vector<TLine> &lines);
