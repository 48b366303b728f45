#include "core/phonetics/edit_distance.h"

#include <algorithm>
#include <vector>

#include "core/text/fold_text.h"

std::size_t EditDistance(TTextView a, TTextView b) {
  TText rows = FoldText(a);
  TText columns = FoldText(b);
  if (rows.empty())
    return columns.size();
  if (columns.empty())
    return rows.size();
  // The distance is symmetric, so the shorter text spans the row that is kept.
  if (columns.size() > rows.size())
    std::swap(rows, columns);

  // One row, overwritten in place: before cell j is written, row[j] still holds the
  // previous row's value and diagonal the previous row's value at j - 1.
  const size_t m = columns.size();
  std::vector<size_t> row(m + 1);
  for (size_t j = 0; j <= m; ++j)
    row[j] = j;
  for (size_t i = 1; i <= rows.size(); ++i) {
    const char16_t rowChar = rows[i - 1];
    size_t diagonal = row[0];
    size_t left = i;
    row[0] = i;
    for (size_t j = 1; j <= m; ++j) {
      const size_t above = row[j];
      const size_t substitution = diagonal + (rowChar == columns[j - 1] ? 0 : 1);
      left = std::min(std::min(above, left) + 1, substitution);
      row[j] = left;
      diagonal = above;
    }
  }
  return row[m];
}
