// DecodeTextFileBytes and SplitTextFileLines against plain reference decoders, and the
// lossless round trip of the code pages.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text/text_file.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_text.h"
#include "platform/code_page.h"

namespace {

void AppendCodePoint(TText &out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(char16_t(cp));
  } else {
    out.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
    out.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
  }
}

// UTF-8 after the Unicode table of well-formed sequences; each maximal ill-formed
// part becomes U+FFFD, or with lossless every one of its bytes an escape U+DC80..DCFF.
TText ReferenceUtf8(std::string_view bytes, bool lossless) {
  TText out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char b = bytes[i];
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b < 0x80)
      length = 1;
    else if (b >= 0xC2 && b <= 0xDF)
      length = 2;
    else if (b >= 0xE0 && b <= 0xEF)
      length = 3, low = b == 0xE0 ? 0xA0 : 0x80, high = b == 0xED ? 0x9F : 0xBF;
    else if (b >= 0xF0 && b <= 0xF4)
      length = 4, low = b == 0xF0 ? 0x90 : 0x80, high = b == 0xF4 ? 0x8F : 0xBF;
    std::size_t j = i + 1;
    char32_t cp = length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
    if (length == 1)
      cp = b;
    for (std::size_t k = 1; k < length && j < bytes.size(); ++k, ++j) {
      const unsigned char c = bytes[j];
      if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
        break;
      cp = cp << 6 | (c & 0x3F);
    }
    if (length != 0 && j - i == length) {
      AppendCodePoint(out, cp);
    } else if (lossless) {
      for (std::size_t k = i; k < std::max(j, i + 1); ++k)
        out.push_back(char16_t(0xDC00 + static_cast<unsigned char>(bytes[k])));
    } else {
      out.push_back(u'\xFFFD');
    }
    i = std::max(j, i + 1);
  }
  return out;
}

TText ReferenceUtf16(std::string_view bytes, bool bigEndian) {
  TText out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned first = static_cast<unsigned char>(bytes[i]);
    const unsigned second = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(char16_t(bigEndian ? first << 8 | second : second << 8 | first));
  }
  return out;
}

// Lines end at CR LF, LF or CR; no line after a final break; NUL ends the text.
TTextList ReferenceLines(TTextView text) {
  TTextList lines;
  TText line;
  bool open = false;
  for (std::size_t i = 0; i < text.size() && text[i] != u'\0'; ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      lines.push_back(line);
      line.clear();
      open = false;
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        ++i;
    } else {
      line.push_back(text[i]);
      open = true;
    }
  }
  if (open)
    lines.push_back(line);
  return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  static const platform::TCodePage utf8 = platform::TCodePage::FromCharsetName("UTF-8");
  static const platform::TCodePage cp1252 = platform::TCodePage::FromCharsetName("CP1252");
  static const platform::TCodePage latin9 = platform::TCodePage::FromCharsetName("ISO-8859-15");

  const TText text = DecodeTextFileBytes(bytes);
  TText expected;
  if (bytes.starts_with("\xEF\xBB\xBF"))
    expected = ReferenceUtf8(bytes.substr(3), false);
  else if (bytes.starts_with("\xFF\xFE"))
    expected = ReferenceUtf16(bytes.substr(2), false);
  else if (bytes.starts_with("\xFE\xFF"))
    expected = ReferenceUtf16(bytes.substr(2), true);
  else
    expected = platform::AnsiCodePage().Decode(bytes);
  FUZZ_CHECK(text == expected, "decoded [%s], expected [%s]", Printable(text).c_str(),
             Printable(expected).c_str());
  FUZZ_CHECK(SplitTextFileLines(text) == ReferenceLines(text), "lines of [%s] differ",
             Printable(text).c_str());

  FUZZ_CHECK(utf8.Decode(bytes) == ReferenceUtf8(bytes, false), "UTF-8 decoding of [%s]",
             Printable(ReferenceUtf8(bytes, true)).c_str());
  const TText lossless = utf8.DecodeLossless(bytes);
  FUZZ_CHECK(lossless == ReferenceUtf8(bytes, true), "lossless UTF-8 decoding [%s]",
             Printable(lossless).c_str());
  FUZZ_CHECK(utf8.EncodeLossless(lossless) == bytes, "UTF-8 round trip of [%s]",
             Printable(lossless).c_str());
  for (const platform::TCodePage *page : {&cp1252, &latin9}) {
    FUZZ_CHECK(!page->IsUtf8(), "%s is not single-byte", page->Name().c_str());
    const TText decoded = page->DecodeLossless(bytes);
    FUZZ_CHECK(page->EncodeLossless(decoded) == bytes, "%s round trip of [%s]",
               page->Name().c_str(), Printable(decoded).c_str());
  }
  return 0;
}
