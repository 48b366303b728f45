// Phonet: a German phonetic transcription driven by a rule table with two rule sets.
#pragma once

#include "core/text/text.h"

// Transcription of s in capitals; firstRules selects the finer first rule set, false
// the coarser second one. Never longer than s.
TText Phonet(TTextView s, bool firstRules);
