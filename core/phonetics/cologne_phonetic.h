// Cologne phonetics: a digit code for German words and names.
#pragma once

#include "core/text/text.h"

// Code of the digits "0" to "8", one space between words; empty for an empty s.
TText ColognePhonetic(TTextView s);
