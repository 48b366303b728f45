// Metaphone: a consonant code after the classic English rules.
#pragma once

#include "core/text/text.h"

// Code of capitals and "0" (for TH); empty if s has no letters A to Z after folding.
// At most one character longer than s: the length is checked before each letter.
TText Metaphone(TTextView s);
