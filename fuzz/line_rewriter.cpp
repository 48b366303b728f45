// SplitLines/JoinLines and TLineRewriter against a plain vector of lines: the same
// edits, driven by the input, must give the same lines and the same output.
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "core/text/line_model.h"
#include "core/text/line_rewriter.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_text.h"

namespace {

// Short texts from the characters that matter to line cutting.
std::string FuzzLine(FuzzedDataProvider &input) {
  static const char alphabet[] = "ab\r\n";
  std::string text;
  for (std::size_t n = input.ConsumeIntegralInRange<std::size_t>(0, 6); n > 0; --n)
    text.push_back(alphabet[input.ConsumeIntegralInRange(0, 3)]);
  return text;
}

void CheckSameLines(const TLineRewriter &rewriter, const std::vector<TLine> &expected) {
  FUZZ_CHECK(rewriter.Count() == expected.size(), "Count %zu, expected %zu", rewriter.Count(),
             expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    FUZZ_CHECK(rewriter.Line(i) == expected[i].Text, "line %zu is [%.*s], expected [%s]", i,
               int(rewriter.Line(i).size()), rewriter.Line(i).data(), expected[i].Text.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string text = input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 400));
  const std::vector<TLine> lines = SplitLines(text);
  FUZZ_CHECK(JoinLines(lines) == text, "split and join of %zu bytes differ", text.size());

  TLineRewriter rewriter(text);
  if (input.ConsumeBool()) {
    // Sorting: a permutation drawn from the input, then Join.
    std::vector<uint32_t> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    for (std::size_t i = order.size(); i > 1; --i)
      std::swap(order[i - 1], order[input.ConsumeIntegralInRange<std::size_t>(0, i - 1)]);
    if (input.ConsumeBool())
      CheckSameLines(rewriter, lines);
    rewriter.Reorder(order);
    std::vector<TLine> reordered;
    for (uint32_t i : order)
      reordered.push_back(lines[i]);
    // The unterminated last line, moved up, swaps line ends with the line now last,
    // so no two lines run together.
    for (TLine &line : reordered)
      if (line.LineEnd == LineEndNone && &line != &reordered.back())
        std::swap(line.LineEnd, reordered.back().LineEnd);
    FUZZ_CHECK(rewriter.Join() == JoinLines(reordered), "reordered join differs");
    CheckSameLines(rewriter, reordered);
    return 0;
  }

  // Iteration: processed lines go to done, the rest wait in lines from next on.
  std::vector<TLine> done;
  std::size_t next = 0;
  bool changed = false;
  auto expected = [&] {
    std::vector<TLine> all = done;
    all.insert(all.end(), lines.begin() + std::ptrdiff_t(next), lines.end());
    return all;
  };
  while (!rewriter.AtEnd() && input.remaining_bytes() > 0) {
    FUZZ_CHECK(next < lines.size(), "the rewriter has more lines than the split");
    FUZZ_CHECK(rewriter.Current() == lines[next].Text, "current line %zu differs", next);
    switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0: // kept
      rewriter.ReplaceCurrent(std::string(rewriter.Current()));
      done.push_back(lines[next++]);
      break;
    case 1: { // rewritten
      const std::string line = FuzzLine(input);
      changed = changed || line != lines[next].Text;
      rewriter.ReplaceCurrent(line);
      done.push_back({line, lines[next++].LineEnd});
      break;
    }
    case 2:
      rewriter.DeleteCurrent();
      ++next;
      changed = true;
      break;
    default: // asked by number, in the middle of the iteration
      CheckSameLines(rewriter, expected());
      break;
    }
  }
  FUZZ_CHECK(rewriter.AtEnd() == (next == lines.size()), "AtEnd disagrees");
  CheckSameLines(rewriter, expected());
  const std::optional<std::string> output = rewriter.TakeOutput();
  FUZZ_CHECK(output.has_value() == changed, "output present %d, changed %d", output.has_value(),
             changed);
  if (output)
    FUZZ_CHECK(*output == JoinLines(expected()), "the output differs");
  return 0;
}
