// Levenshtein distance of two texts, ignoring case and the common accents.
#pragma once

#include <cstddef>

#include "core/text/text.h"

// The least number of single-character insertions, deletions and substitutions that
// turn FoldText(a) into FoldText(b). Memory grows with the shorter text only.
std::size_t EditDistance(TTextView a, TTextView b);
