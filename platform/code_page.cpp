#include "platform/code_page.h"

#include "platform/code_page_system.h"

namespace platform {
namespace {

constexpr char16_t ReplacementChar = 0xFFFD;

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

bool IsUtf8Name(std::string_view name) {
  return EqualsIgnoreAsciiCase(name, "UTF-8") || EqualsIgnoreAsciiCase(name, "utf8");
}

void AppendUtf16(std::u16string &out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(char16_t(cp));
  } else {
    cp -= 0x10000;
    out.push_back(char16_t(0xD800 + (cp >> 10)));
    out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
  }
}

// Length of the valid UTF-8 sequence starting at s[i], or 0 with `consumed` set to the
// length of the maximal invalid subpart (at least 1) that becomes one U+FFFD.
size_t DecodeUtf8At(std::string_view s, size_t i, char32_t &cp, size_t &consumed) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b0 = byte(i);
  size_t need;
  char32_t value;
  unsigned char lo = 0x80, hi = 0xBF;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    value = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    value = b0 & 0x0F;
    if (b0 == 0xE0)
      lo = 0xA0;
    if (b0 == 0xED)
      hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    value = b0 & 0x07;
    if (b0 == 0xF0)
      lo = 0x90;
    if (b0 == 0xF4)
      hi = 0x8F;
  } else {
    consumed = 1;
    return 0;
  }
  size_t k = 1;
  for (; k <= need; ++k) {
    if (i + k >= s.size()) {
      consumed = k;
      return 0;
    }
    unsigned char b = byte(i + k);
    unsigned char low = (k == 1) ? lo : 0x80, high = (k == 1) ? hi : 0xBF;
    if (b < low || b > high) {
      consumed = k;
      return 0;
    }
    value = (value << 6) | (b & 0x3F);
  }
  cp = value;
  return need + 1;
}

} // namespace

TCodePage TCodePage::FromCharsetName(std::string_view charset) {
  TCodePage page;
  if (charset.empty() || IsUtf8Name(charset))
    return page;
  std::string name(charset);
  auto tables = std::make_shared<TSingleByteTables>();
  if (!SingleByteCharsetTable(name, tables->ToUnicode))
    return page;
  // Bytes that decode to the same character keep the lowest byte as its encoding.
  for (int b = 255; b >= 0; --b) {
    char16_t c = tables->ToUnicode[b];
    if (c == ReplacementChar)
      continue;
    tables->FromUnicode[c] = static_cast<unsigned char>(b);
    tables->Mapped[c] = true;
  }
  page.FName = name;
  page.FSingleByte = std::move(tables);
  return page;
}

std::u16string TCodePage::Decode(std::string_view bytes) const {
  return DecodeBytes(bytes, false);
}

std::u16string TCodePage::DecodeLossless(std::string_view bytes) const {
  return DecodeBytes(bytes, true);
}

// Bytes the page cannot decode become U+FFFD, or with lossless one escape each.
std::u16string TCodePage::DecodeBytes(std::string_view bytes, bool lossless) const {
  std::u16string out;
  out.reserve(bytes.size());
  auto escape = [](unsigned char b) { return char16_t(0xDC00 + b); };
  if (FSingleByte) {
    for (unsigned char b : bytes) {
      char16_t c = FSingleByte->ToUnicode[b];
      out.push_back(lossless && c == ReplacementChar ? escape(b) : c);
    }
    return out;
  }
  size_t i = 0;
  while (i < bytes.size()) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    char32_t cp = 0;
    size_t consumed = 0;
    size_t n = DecodeUtf8At(bytes, i, cp, consumed);
    if (n != 0) {
      AppendUtf16(out, cp);
      i += n;
    } else if (lossless) {
      for (size_t k = 0; k < consumed; ++k)
        out.push_back(escape(static_cast<unsigned char>(bytes[i + k])));
      i += consumed;
    } else {
      out.push_back(ReplacementChar);
      i += consumed;
    }
  }
  return out;
}

std::string TCodePage::Encode(std::u16string_view text) const {
  std::string out;
  out.reserve(text.size());
  if (FSingleByte) {
    for (char16_t c : text)
      out.push_back(FSingleByte->Mapped[c] ? char(FSingleByte->FromUnicode[c]) : '?');
    return out;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = ReplacementChar;
    }
    if (cp < 0x80) {
      out.push_back(char(cp));
    } else if (cp < 0x800) {
      out.push_back(char(0xC0 | (cp >> 6)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(char(0xE0 | (cp >> 12)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(char(0xF0 | (cp >> 18)));
      out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(char(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::string TCodePage::EncodeLossless(std::u16string_view text) const {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    bool escaped = i < text.size() && text[i] >= 0xDC80 && text[i] <= 0xDCFF &&
                   (i == 0 || text[i - 1] < 0xD800 || text[i - 1] > 0xDBFF);
    if (i == text.size() || escaped) {
      out += Encode(text.substr(start, i - start));
      if (escaped)
        out.push_back(char(text[i] - 0xDC00));
      start = i + 1;
    }
  }
  return out;
}

char16_t TCodePage::DecodeByte(unsigned char byte) const {
  return FSingleByte ? FSingleByte->ToUnicode[byte]
                     : char16_t(byte < 0x80 ? byte : ReplacementChar);
}

unsigned char TCodePage::EncodeChar(char16_t c, bool &ok) const {
  if (FSingleByte) {
    ok = FSingleByte->Mapped[c];
    return ok ? FSingleByte->FromUnicode[c] : 0;
  }
  ok = c < 0x80;
  return ok ? static_cast<unsigned char>(c) : 0;
}

const TCodePage &AnsiCodePage() {
  static const TCodePage page = TCodePage::FromCharsetName(SystemAnsiCharsetName());
  return page;
}

} // namespace platform

std::u16string BytesToText(std::string_view bytes) {
  return platform::AnsiCodePage().Decode(bytes);
}

std::string TextToBytes(std::u16string_view text) {
  return platform::AnsiCodePage().Encode(text);
}
