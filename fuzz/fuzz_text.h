// Helpers shared by the fuzz targets: texts made from fuzz bytes.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "core/text/text.h"

// A text read from the front of the input, so that seeds stay readable: an ASCII byte
// that is in the alphabet stands for itself, any other byte below 0xEF for a character
// of the alphabet (so the syntax characters a routine cares about turn up often),
// 0xEF ends the text (one input holds several), and a byte from 0xF0 up takes the next
// two bytes as any code unit, lone surrogates included. Flags are taken from the end.
inline TText FuzzText(FuzzedDataProvider &input, TTextView alphabet, std::size_t maxLength) {
  TText text;
  auto next = [&input] { return input.ConsumeBytes<unsigned char>(1).at(0); };
  while (text.size() < maxLength && input.remaining_bytes() > 0) {
    const unsigned char b = next();
    if (b == 0xEF)
      break;
    if (b >= 0xF0 && input.remaining_bytes() >= 2) {
      const unsigned high = next();
      text.push_back(char16_t(high << 8 | next()));
    } else if (b < 0x80 && alphabet.find(char16_t(b)) != TTextView::npos) {
      text.push_back(char16_t(b));
    } else {
      text.push_back(alphabet[b % alphabet.size()]);
    }
  }
  return text;
}

// A text for failure messages: ASCII as is, everything else as \uXXXX.
inline std::string Printable(TTextView text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(char(c));
    } else {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(hex[(c >> shift) & 0xF]);
    }
  }
  return out;
}
