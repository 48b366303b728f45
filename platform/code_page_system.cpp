#include "platform/code_page_system.h"

#include "platform/process.h"

#include <unicode/ucnv.h>

namespace platform {

std::string CharsetFromEnvironment() {
  std::optional<std::string> value = FirstSetEnvironmentVariable({"LC_ALL", "LC_CTYPE", "LANG"});
  if (!value)
    return "";
  std::string_view locale(*value);
  size_t dot = locale.find('.');
  if (dot == std::string_view::npos)
    return "";
  std::string_view charset = locale.substr(dot + 1);
  size_t at = charset.find('@'); // a modifier such as "@euro" is not part of the charset
  return std::string(charset.substr(0, at));
}

std::string SystemAnsiCharsetName() {
  return CharsetFromEnvironment();
}

bool SingleByteCharsetTable(const std::string &name, std::array<char16_t, 256> &table) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter *converter = ucnv_open(name.c_str(), &status);
  if (U_FAILURE(status) || converter == nullptr)
    return false;
  if (ucnv_getMaxCharSize(converter) != 1) {
    ucnv_close(converter);
    return false;
  }
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    UChar out[4];
    UErrorCode st = U_ZERO_ERROR;
    ucnv_reset(converter);
    int32_t n = ucnv_toUChars(converter, out, 4, &in, 1, &st);
    table[b] = (U_SUCCESS(st) && n == 1) ? char16_t(out[0]) : char16_t(0xFFFD);
  }
  ucnv_close(converter);
  return true;
}

} // namespace platform
