// The "ANSI code page": the one 8-bit encoding in which script strings, the
// processed text and file names are read. Chosen once from the locale
// environment (LC_ALL, LC_CTYPE, LANG); UTF-8 unless a single-byte charset is named.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class TCodePage {
public:
  // A code page for a charset name as it appears after the dot of a locale name
  // ("UTF-8", "ISO-8859-15", "CP1252"); unknown or multi-byte names give UTF-8.
  static TCodePage FromCharsetName(std::string_view charset);

  bool IsUtf8() const { return FSingleByte == nullptr; }
  const std::string &Name() const { return FName; }

  // Bytes to UTF-16; invalid UTF-8 becomes U+FFFD, one per maximal invalid sequence.
  std::u16string Decode(std::string_view bytes) const;
  // UTF-16 to bytes; characters the page lacks become "?", lone surrogates U+FFFD in UTF-8.
  std::string Encode(std::u16string_view text) const;

  // A round trip that keeps every byte: bytes the page cannot decode (invalid
  // UTF-8, unassigned single bytes) become the lone surrogates U+DC80..U+DCFF and
  // turn back into the same bytes.
  std::u16string DecodeLossless(std::string_view bytes) const;
  std::string EncodeLossless(std::u16string_view text) const;

  // Single-byte pages only: the character of one byte, and the byte of a character
  // (0 with ok = false when the page lacks it).
  char16_t DecodeByte(unsigned char byte) const;
  unsigned char EncodeChar(char16_t c, bool &ok) const;

private:
  std::u16string DecodeBytes(std::string_view bytes, bool lossless) const;
  struct TSingleByteTables {
    std::array<char16_t, 256> ToUnicode{};
    std::array<unsigned char, 65536> FromUnicode{};
    std::array<bool, 65536> Mapped{};
  };
  std::string FName = "UTF-8";
  std::shared_ptr<const TSingleByteTables> FSingleByte;
};

// The process's code page, read from the environment on first use and kept.
const TCodePage &AnsiCodePage();

} // namespace platform

// Conversions through the process's code page.
std::u16string BytesToText(std::string_view bytes);
std::string TextToBytes(std::u16string_view text);
