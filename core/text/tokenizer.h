// The one tokenizer of the program: every separated list (search paths, pattern
// lists, option alternatives, script data) is split here.
#pragma once

#include <stdexcept>

#include "core/text/text.h"

// A quote pair whose closing character is missing was used: a host failure, not a
// script error.
class ERangeError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Splits text at any character of separators. openQuotes and closeQuotes are paired by
// position; a separator inside a quoted section is ordinary text, an opening character
// of the pair already open nests, and only the outermost quote characters are dropped
// (unless keepQuotes). Throws ERangeError when a pair without closing character is open
// and another character follows.
TTextList TokenListEx(TTextView text, TTextView separators, TTextView openQuotes,
                      TTextView closeQuotes, bool mergeSeparators, bool skipLeadingSeparator,
                      bool dropEmptyLast, bool keepQuotes);

// TokenListEx without quotes.
TTextList TokenList(TTextView text, TTextView separators, bool mergeSeparators,
                    bool skipLeadingSeparator, bool dropEmptyLast);
