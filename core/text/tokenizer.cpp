#include "core/text/tokenizer.h"

#include <optional>

namespace {

bool Contains(TTextView set, char16_t c) {
  return set.find(c) != TTextView::npos;
}

} // namespace

TTextList TokenListEx(TTextView text, TTextView separators, TTextView openQuotes,
                      TTextView closeQuotes, bool mergeSeparators, bool skipLeadingSeparator,
                      bool dropEmptyLast, bool keepQuotes) {
  TTextList tokens;
  TText token;
  std::optional<char16_t> lastSeparator;
  size_t depth = 0;
  size_t quoteIndex = 0; // 1-based index of the open pair, 0 outside quotes

  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    bool opened = false;
    bool closed = false;

    if (depth > 0) {
      if (quoteIndex > closeQuotes.size())
        throw ERangeError("token list: quote pair " + std::to_string(quoteIndex) +
                          " has no closing character");
    }
    if (depth > 0 && c == closeQuotes[quoteIndex - 1]) {
      --depth;
      if (depth == 0) {
        quoteIndex = 0;
        closed = true;
      }
    } else {
      // Another pair's opening character inside a quoted section is ordinary text;
      // for pairs of one character the closing test above wins.
      const size_t k = openQuotes.find(c);
      if (k != TTextView::npos && (depth == 0 || k + 1 == quoteIndex)) {
        if (depth == 0)
          opened = true;
        quoteIndex = k + 1;
        ++depth;
      }
    }

    if (!Contains(separators, c)) {
      if (keepQuotes || !(opened || closed))
        token.push_back(c);
      lastSeparator.reset();
    } else if (depth == 0 || opened) {
      if (i == 0 && skipLeadingSeparator) {
        lastSeparator = c;
      } else if (mergeSeparators && lastSeparator) {
        if (opened && keepQuotes)
          token.push_back(c);
      } else {
        if (closed && keepQuotes)
          token.push_back(c);
        tokens.push_back(std::move(token));
        token.clear();
        if (opened && keepQuotes)
          token.push_back(c);
        lastSeparator = c;
      }
    } else {
      token.push_back(c);
      lastSeparator.reset();
    }
  }
  if (!(token.empty() && dropEmptyLast))
    tokens.push_back(std::move(token));
  return tokens;
}

TTextList TokenList(TTextView text, TTextView separators, bool mergeSeparators,
                    bool skipLeadingSeparator, bool dropEmptyLast) {
  return TokenListEx(text, separators, {}, {}, mergeSeparators, skipLeadingSeparator, dropEmptyLast,
                     true);
}
