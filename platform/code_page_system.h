// What the code page takes from the system: which charset is the process's ANSI
// code page, and the characters of a single-byte charset.
#pragma once

#include <array>
#include <string>

namespace platform {

// The charset name of the process's ANSI code page, as TCodePage::FromCharsetName
// takes it ("" for UTF-8).
std::string SystemAnsiCharsetName();

// The charset named by the first non-empty of LC_ALL, LC_CTYPE, LANG ("" when none):
// the ANSI code page of the Linux build.
std::string CharsetFromEnvironment();

// The character of each byte of a single-byte charset, U+FFFD for a byte that
// stands for none; false when the charset is unknown or not single-byte.
bool SingleByteCharsetTable(const std::string &name, std::array<char16_t, 256> &table);

} // namespace platform
