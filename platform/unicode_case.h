// Simple (one unit to one unit) case mapping of UTF-16 code units, as the
// platform's CharUpperBuffW / CharLowerBuffW do it; surrogates stay unchanged.
#pragma once

namespace platform {

char16_t UpperCaseUnit(char16_t c);
char16_t LowerCaseUnit(char16_t c);

} // namespace platform
