// Membership of one character in a small set of letters, as the phonetic codes
// test their neighbouring letters (not to be confused with the command line's
// test of a whole text against alternatives).
#pragma once

#include "core/text/text.h"

// True if c is one of the characters of set.
inline bool IsCharOf(char16_t c, TTextView set) {
  return set.find(c) != TTextView::npos;
}
