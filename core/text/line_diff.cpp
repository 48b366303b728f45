#include "core/text/line_diff.h"

#include <algorithm>
#include <unordered_map>

namespace {

using TIndex = std::ptrdiff_t;

// Marks the lines of a shortest edit script: deleted old lines, inserted new lines.
// Myers' divide and conquer on the middle snake, so memory stays linear in the
// number of lines however different the texts are.
class TMyers {
public:
  TMyers(const std::vector<std::size_t> &a, const std::vector<std::size_t> &b)
      : FA(a), FB(b), FDeleted(a.size(), false), FInserted(b.size(), false) {
    const TIndex size = TIndex(a.size() + b.size()) + 3;
    FForward.resize(size_t(size));
    FBackward.resize(size_t(size));
  }

  void Run() { Compare(0, TIndex(FA.size()), 0, TIndex(FB.size())); }

  const std::vector<bool> &Deleted() const { return FDeleted; }
  const std::vector<bool> &Inserted() const { return FInserted; }

private:
  struct TSnake {
    TIndex FX0, FY0, FX1, FY1; // relative to the part compared
  };

  const std::vector<std::size_t> &FA;
  const std::vector<std::size_t> &FB;
  std::vector<bool> FDeleted;
  std::vector<bool> FInserted;
  std::vector<TIndex> FForward;  // furthest x per diagonal k = x - y
  std::vector<TIndex> FBackward; // furthest x from the end per diagonal of the reversed part

  void Compare(TIndex aLo, TIndex aHi, TIndex bLo, TIndex bHi) {
    while (aLo < aHi && bLo < bHi && FA[size_t(aLo)] == FB[size_t(bLo)])
      ++aLo, ++bLo;
    while (aLo < aHi && bLo < bHi && FA[size_t(aHi - 1)] == FB[size_t(bHi - 1)])
      --aHi, --bHi;
    if (aLo == aHi) {
      for (TIndex j = bLo; j < bHi; ++j)
        FInserted[size_t(j)] = true;
      return;
    }
    if (bLo == bHi) {
      for (TIndex i = aLo; i < aHi; ++i)
        FDeleted[size_t(i)] = true;
      return;
    }
    // With differing first and last lines on both sides, the distance is at least
    // two, so both halves around the middle snake are smaller than the whole.
    const TSnake snake = MiddleSnake(aLo, aHi, bLo, bHi);
    Compare(aLo, aLo + snake.FX0, bLo, bLo + snake.FY0);
    Compare(aLo + snake.FX1, aHi, bLo + snake.FY1, bHi);
  }

  TSnake MiddleSnake(TIndex aLo, TIndex aHi, TIndex bLo, TIndex bHi) {
    const TIndex n = aHi - aLo;
    const TIndex m = bHi - bLo;
    const TIndex delta = n - m;
    const bool odd = (delta & 1) != 0;
    const TIndex maxD = (n + m + 1) / 2;
    const TIndex offset = maxD + 1;
    auto vf = [&](TIndex k) -> TIndex & { return FForward[size_t(k + offset)]; };
    auto vb = [&](TIndex c) -> TIndex & { return FBackward[size_t(c + offset)]; };
    vf(1) = 0;
    vb(1) = 0;
    for (TIndex d = 0; d <= maxD; ++d) {
      for (TIndex k = -d; k <= d; k += 2) {
        TIndex x = (k == -d || (k != d && vf(k - 1) < vf(k + 1))) ? vf(k + 1) : vf(k - 1) + 1;
        TIndex y = x - k;
        const TIndex x0 = x, y0 = y;
        while (x < n && y < m && FA[size_t(aLo + x)] == FB[size_t(bLo + y)])
          ++x, ++y;
        vf(k) = x;
        const TIndex c = delta - k;
        if (odd && c >= -(d - 1) && c <= d - 1 && vf(k) + vb(c) >= n)
          return {x0, y0, x, y};
      }
      for (TIndex c = -d; c <= d; c += 2) {
        TIndex x = (c == -d || (c != d && vb(c - 1) < vb(c + 1))) ? vb(c + 1) : vb(c - 1) + 1;
        TIndex y = x - c;
        const TIndex x0 = x, y0 = y;
        while (x < n && y < m && FA[size_t(aHi - 1 - x)] == FB[size_t(bHi - 1 - y)])
          ++x, ++y;
        vb(c) = x;
        const TIndex k = delta - c;
        if (!odd && k >= -d && k <= d && vb(c) + vf(k) >= n)
          return {n - x, m - y, n - x0, m - y0};
      }
    }
    return {0, 0, n, m}; // not reached: the paths meet by maxD
  }
};

std::string RangeText(std::size_t start, std::size_t count) {
  if (count == 1)
    return std::to_string(start + 1);
  return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

void AppendLine(std::string &out, char mark, std::string_view line) {
  out += mark;
  out += line;
  if (line.empty() || line.back() != '\n')
    out += "\n\\ No newline at end of file\n";
}

} // namespace

std::vector<std::string_view> SplitDiffLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

std::vector<TLineEdit> DiffLines(const std::vector<std::string_view> &oldLines,
                                 const std::vector<std::string_view> &newLines) {
  // Lines compare by number: equal lines get one number, so the search compares
  // integers instead of texts.
  std::unordered_map<std::string_view, std::size_t> numbers;
  auto numbered = [&](const std::vector<std::string_view> &lines) {
    std::vector<std::size_t> result;
    result.reserve(lines.size());
    for (std::string_view line : lines)
      result.push_back(numbers.emplace(line, numbers.size()).first->second);
    return result;
  };
  const std::vector<std::size_t> a = numbered(oldLines);
  const std::vector<std::size_t> b = numbered(newLines);
  // A line found on one side only is deleted or inserted in every shortest script;
  // the search runs over the other lines alone. A text rewritten throughout (every
  // line changed) so costs no search at all instead of one quadratic in its length.
  std::vector<bool> inOld(numbers.size(), false), inNew(numbers.size(), false);
  for (std::size_t id : a)
    inOld[id] = true;
  for (std::size_t id : b)
    inNew[id] = true;
  std::vector<std::size_t> aShared, bShared, aAt, bAt;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (inNew[a[i]])
      aShared.push_back(a[i]), aAt.push_back(i);
  for (std::size_t j = 0; j < b.size(); ++j)
    if (inOld[b[j]])
      bShared.push_back(b[j]), bAt.push_back(j);
  TMyers myers(aShared, bShared);
  myers.Run();
  std::vector<bool> deleted(a.size(), true), inserted(b.size(), true);
  for (std::size_t k = 0; k < aAt.size(); ++k)
    deleted[aAt[k]] = myers.Deleted()[k];
  for (std::size_t k = 0; k < bAt.size(); ++k)
    inserted[bAt[k]] = myers.Inserted()[k];
  std::vector<TLineEdit> edits;
  std::size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && deleted[i])
      edits.push_back({TLineEdit::TKind::Delete, i++, j});
    else if (j < b.size() && inserted[j])
      edits.push_back({TLineEdit::TKind::Insert, i, j++});
    else
      edits.push_back({TLineEdit::TKind::Keep, i++, j++});
  }
  return edits;
}

std::string UnifiedDiff(std::string_view oldText, std::string_view newText,
                        std::string_view oldLabel, std::string_view newLabel, std::size_t context) {
  if (oldText == newText)
    return {};
  const std::vector<std::string_view> oldLines = SplitDiffLines(oldText);
  const std::vector<std::string_view> newLines = SplitDiffLines(newText);
  const std::vector<TLineEdit> edits = DiffLines(oldLines, newLines);
  using TKind = TLineEdit::TKind;
  std::string out;
  out.append("--- ").append(oldLabel).append("\n+++ ").append(newLabel).append("\n");
  std::size_t next = 0;
  while (next < edits.size()) {
    std::size_t firstChange = next;
    while (firstChange < edits.size() && edits[firstChange].FKind == TKind::Keep)
      ++firstChange;
    if (firstChange == edits.size())
      break;
    // The hunk grows while the unchanged run up to the next change is short enough
    // for the two contexts to touch.
    std::size_t lastChange = firstChange;
    for (std::size_t k = firstChange + 1; k < edits.size(); ++k) {
      if (edits[k].FKind == TKind::Keep)
        continue;
      if (k - lastChange - 1 > 2 * context)
        break;
      lastChange = k;
    }
    const std::size_t begin = firstChange > context ? firstChange - context : 0;
    const std::size_t begin2 = std::max(begin, next);
    const std::size_t end = std::min(edits.size(), lastChange + 1 + context);
    std::size_t oldCount = 0, newCount = 0;
    for (std::size_t k = begin2; k < end; ++k) {
      oldCount += edits[k].FKind != TKind::Insert;
      newCount += edits[k].FKind != TKind::Delete;
    }
    out += "@@ -" + RangeText(edits[begin2].FOld, oldCount) + " +" +
           RangeText(edits[begin2].FNew, newCount) + " @@\n";
    for (std::size_t k = begin2; k < end; ++k) {
      const TLineEdit &edit = edits[k];
      if (edit.FKind == TKind::Keep)
        AppendLine(out, ' ', oldLines[edit.FOld]);
      else if (edit.FKind == TKind::Delete)
        AppendLine(out, '-', oldLines[edit.FOld]);
      else
        AppendLine(out, '+', newLines[edit.FNew]);
    }
    next = end;
  }
  return out;
}
