#include "platform/code_page_system.h"

#include <cctype>
#include <charconv>
#include <windows.h>

namespace platform {
namespace {

bool StartsWithIgnoringCase(const std::string &text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
      return false;
  return true;
}

// The Windows code page number of a charset name: "CP1252", "windows-1252", "1252",
// or "ISO-8859-n" (code pages 28591 to 28605); 0 when the name is none of these.
UINT CodePageNumber(const std::string &name) {
  std::string_view digits = name;
  UINT base = 0;
  if (StartsWithIgnoringCase(name, "iso-8859-")) {
    digits.remove_prefix(9);
    base = 28590;
  } else if (StartsWithIgnoringCase(name, "windows-")) {
    digits.remove_prefix(8);
  } else if (StartsWithIgnoringCase(name, "cp")) {
    digits.remove_prefix(2);
  }
  UINT number = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size() || number == 0)
    return 0;
  return base + number;
}

} // namespace

std::string SystemAnsiCharsetName() {
  const UINT page = GetACP();
  if (page == CP_UTF8)
    return "";
  return "CP" + std::to_string(page);
}

bool SingleByteCharsetTable(const std::string &name, std::array<char16_t, 256> &table) {
  const UINT page = CodePageNumber(name);
  CPINFO info{};
  if (page == 0 || !GetCPInfo(page, &info) || info.MaxCharSize != 1)
    return false;
  for (int b = 0; b < 256; ++b) {
    const char in = static_cast<char>(b);
    wchar_t out[2];
    const int n = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, &in, 1, out, 2);
    table[b] = n == 1 ? char16_t(out[0]) : char16_t(0xFFFD);
  }
  return true;
}

} // namespace platform
