// TokenList against a plain reference split, and TokenListEx against TokenList and
// its own documented invariants.
#include <cstddef>
#include <cstdint>

#include "core/text/tokenizer.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_text.h"

namespace {

bool IsIn(TTextView set, char16_t c) {
  return set.find(c) != TTextView::npos;
}

// Every separator splits; merged separators split once per run; a skipped leading
// separator starts no token (merged: the whole leading run); an empty last token may
// be dropped.
TTextList ReferenceTokens(TTextView text, TTextView separators, bool merge, bool skipLeading,
                          bool dropEmptyLast) {
  if (skipLeading && !text.empty() && IsIn(separators, text[0])) {
    text.remove_prefix(1);
    while (merge && !text.empty() && IsIn(separators, text[0]))
      text.remove_prefix(1);
  }
  TTextList tokens(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsIn(separators, text[i]))
      tokens.back().push_back(text[i]);
    else if (!(merge && i > 0 && IsIn(separators, text[i - 1])))
      tokens.emplace_back();
  }
  if (dropEmptyLast && tokens.back().empty())
    tokens.pop_back();
  return tokens;
}

std::string Show(const TTextList &tokens) {
  std::string out;
  for (const TText &token : tokens)
    out += "[" + Printable(token) + "]";
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider input(data, size);
  const bool merge = input.ConsumeBool();
  const bool skipLeading = input.ConsumeBool();
  const bool dropEmptyLast = input.ConsumeBool();
  const bool keepQuotes = input.ConsumeBool();
  const TTextView alphabet = u"ab ,;\"'()[]{}\t";
  const TText separators = FuzzText(input, alphabet, 4);
  const TText openQuotes = FuzzText(input, alphabet, 3);
  const TText closeQuotes = FuzzText(input, alphabet, 3);
  const TText text = FuzzText(input, alphabet, 200);

  const TTextList plain = TokenList(text, separators, merge, skipLeading, dropEmptyLast);
  const TTextList reference = ReferenceTokens(text, separators, merge, skipLeading, dropEmptyLast);
  FUZZ_CHECK(plain == reference, "text [%s] seps [%s]: %s, reference %s", Printable(text).c_str(),
             Printable(separators).c_str(), Show(plain).c_str(), Show(reference).c_str());

  TTextList quoted;
  try {
    quoted = TokenListEx(text, separators, openQuotes, closeQuotes, merge, skipLeading,
                         dropEmptyLast, keepQuotes);
  } catch (const ERangeError &) {
    // Only a pair that has no closing character can fail.
    FUZZ_CHECK(openQuotes.size() > closeQuotes.size(), "ERangeError with every pair complete");
    return 0;
  }

  // A text without any quote character splits as without quotes.
  bool hasQuote = false;
  for (char16_t c : text)
    hasQuote = hasQuote || IsIn(openQuotes, c) || IsIn(closeQuotes, c);
  if (!hasQuote)
    FUZZ_CHECK(quoted == plain, "no quotes in [%s]: %s, without quotes %s", Printable(text).c_str(),
               Show(quoted).c_str(), Show(plain).c_str());

  // Quotes kept, nothing merged, skipped or dropped: the tokens and the separators
  // between them are the whole text (quote characters that are no separators).
  bool disjoint = true;
  for (char16_t c : openQuotes + closeQuotes)
    disjoint = disjoint && !IsIn(separators, c);
  if (keepQuotes && !merge && !skipLeading && !dropEmptyLast && disjoint) {
    std::size_t length = quoted.size() - 1;
    for (const TText &token : quoted)
      length += token.size();
    FUZZ_CHECK(length == text.size(), "tokens %s do not cover [%s]", Show(quoted).c_str(),
               Printable(text).c_str());
    if (separators.size() == 1) {
      TText joined;
      for (std::size_t i = 0; i < quoted.size(); ++i)
        joined += (i > 0 ? separators : TText()) + quoted[i];
      FUZZ_CHECK(joined == text, "joined [%s] is not [%s]", Printable(joined).c_str(),
                 Printable(text).c_str());
    }
  }
  return 0;
}
