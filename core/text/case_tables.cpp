#include "core/text/case_tables.h"

#include <array>

#include "platform/code_page.h"
#include "platform/unicode_case.h"

const unsigned char *AnsiUpperTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t{};
    const platform::TCodePage &page = platform::AnsiCodePage();
    for (int b = 0; b < 256; ++b) {
      t[b] = static_cast<unsigned char>(b);
      if (page.IsUtf8()) {
        if (b >= 'a' && b <= 'z')
          t[b] = static_cast<unsigned char>(b - 'a' + 'A');
        continue;
      }
      char16_t upper = platform::UpperCaseUnit(page.DecodeByte(static_cast<unsigned char>(b)));
      bool ok = false;
      unsigned char encoded = page.EncodeChar(upper, ok);
      if (ok)
        t[b] = encoded;
    }
    return t;
  }();
  return table.data();
}

const char16_t *WideUpperTable() {
  static const std::array<char16_t, 65536> *table = [] {
    static std::array<char16_t, 65536> t;
    for (size_t u = 0; u < t.size(); ++u)
      t[u] = platform::UpperCaseUnit(static_cast<char16_t>(u));
    return &t;
  }();
  return table->data();
}

TText UpperText(TTextView text) {
  TText out(text);
  for (auto &c : out)
    c = platform::UpperCaseUnit(c);
  return out;
}

TText LowerText(TTextView text) {
  TText out(text);
  for (auto &c : out)
    c = platform::LowerCaseUnit(c);
  return out;
}
