#include "core/text/line_model.h"

#include <algorithm>

std::string_view LineEndBytes(TLineEnd lineEnd) {
  switch (lineEnd) {
  case LineEndLF:
    return "\n";
  case LineEndCRLF:
    return "\r\n";
  default:
    return {};
  }
}

std::vector<TLine> SplitLines(std::string_view text) {
  std::vector<TLine> lines;
  // Counting first spares the list its reallocations on inputs of hundreds of MB.
  if (!text.empty())
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  ScanLines(text, [&](std::size_t start, std::size_t length, TLineEnd lineEnd) {
    lines.push_back({std::string(text.substr(start, length)), lineEnd});
  });
  return lines;
}

std::string JoinLines(const std::vector<TLine> &lines) {
  std::size_t total = 0;
  for (const TLine &line : lines)
    total += line.Text.size() + LineEndBytes(line.LineEnd).size();
  std::string text;
  text.reserve(total);
  for (const TLine &line : lines) {
    text += line.Text;
    text += LineEndBytes(line.LineEnd);
  }
  return text;
}
