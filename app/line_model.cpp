#include "app/line_model.h"

#include <algorithm>
#include <cstring>

namespace {

std::string_view LineBreak(TLineEnd lineEnd) {
  switch (lineEnd) {
  case LineEndLF:
    return "\n";
  case LineEndCRLF:
    return "\r\n";
  default:
    return {};
  }
}

} // namespace

std::vector<TLine> SplitLines(std::string_view text) {
  std::vector<TLine> lines;
  if (text.empty())
    return lines;
  // Counting first spares the list its reallocations on inputs of hundreds of MB.
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  const char *const begin = text.data();
  const char *const end = begin + text.size();
  const char *start = begin;
  while (start < end) {
    const char *lf = static_cast<const char *>(std::memchr(start, '\n', end - start));
    if (lf == nullptr) {
      lines.push_back({std::string(start, end), LineEndNone});
      break;
    }
    bool crlf = lf > start && lf[-1] == '\r';
    const char *lineEnd = crlf ? lf - 1 : lf;
    lines.push_back({std::string(start, lineEnd), crlf ? LineEndCRLF : LineEndLF});
    start = lf + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<TLine> &lines) {
  std::size_t total = 0;
  for (const TLine &line : lines)
    total += line.Text.size() + LineBreak(line.LineEnd).size();
  std::string text;
  text.reserve(total);
  for (const TLine &line : lines) {
    text += line.Text;
    text += LineBreak(line.LineEnd);
  }
  return text;
}
