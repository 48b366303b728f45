// Case tables built on first use, so hot loops look up a table instead of calling
// the platform per character.
#pragma once

#include "core/text/text.h"

// 256 entries: the upper-case byte of every byte of the ANSI code page. A UTF-8
// page upper-cases ASCII letters only; a single-byte page every letter whose
// upper case is in the page.
const unsigned char *AnsiUpperTable();

// 65,536 entries: the simple upper case of every UTF-16 code unit.
const char16_t *WideUpperTable();

// Full-text conversions (CharUpperBuffW / CharLowerBuffW over the whole text).
TText UpperText(TTextView text);
TText LowerText(TTextView text);
