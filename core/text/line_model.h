// The text as a list of lines, each keeping its own line end, so that splitting and
// joining again gives back the very same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum TLineEnd { LineEndNone = 0, LineEndLF = 1, LineEndCRLF = 2 };

struct TLine {
  std::string Text; // without the line break; a lone CR is part of the text
  TLineEnd LineEnd;

  bool operator==(const TLine &) const = default;
};

// What a line end is written as: LF, CR LF, or nothing.
std::string_view LineEndBytes(TLineEnd lineEnd);

// Calls add(start, length, lineEnd) for the lines of text, at most limit of them:
// a line ends at LF or at CR LF (a lone CR is text), the characters after the last
// line break form a final line with LineEndNone. Every line list is cut this way.
template <typename TAdd>
void ScanLines(std::string_view text, TAdd add, std::size_t limit = SIZE_MAX) {
  std::size_t start = 0;
  for (std::size_t count = 0; start < text.size() && count < limit; ++count) {
    std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      add(start, text.size() - start, LineEndNone);
      return;
    }
    bool crlf = lf > start && text[lf - 1] == '\r';
    add(start, (crlf ? lf - 1 : lf) - start, crlf ? LineEndCRLF : LineEndLF);
    start = lf + 1;
  }
}

// Lines end at LF or CR LF; characters after the last break form a final line with
// LineEndNone. An empty text has no lines, and a final break no empty line after it.
std::vector<TLine> SplitLines(std::string_view text);

// Every line followed by LF, CR LF or nothing (LineEndNone and any other value).
std::string JoinLines(const std::vector<TLine> &lines);
