// Host text: UTF-16 with 1-based positions in every routine that takes one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

using TText = std::u16string;
using TTextView = std::u16string_view;
using TTextList = std::vector<TText>;

// Byte string: script strings, file contents and file names on this platform.
using TBytes = std::string;
using TBytesView = std::string_view;

// UTF-16 surrogate halves: a character outside the basic plane is a high one
// followed by a low one.
inline bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// ASCII-only literal helper for host text built in code: u"..." is used where possible.
inline TText AsciiText(std::string_view ascii) {
  return TText(ascii.begin(), ascii.end());
}
