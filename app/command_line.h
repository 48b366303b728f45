// Reading the command line into the run settings, with its checks in their
// fixed order and a German message for every rejected argument.
#pragma once

#include <vector>

#include "core/text/text.h"
#include "script/run_settings.h"

// True if text equals one of the alternatives (split at the separator characters;
// empty alternatives never match), compared as whole texts code unit by code unit,
// with caseInsensitive folding the ASCII letters only. The option forms are ASCII,
// and the locale's case rules (a Turkish "I" is no capital "i") must not decide
// whether an argument is an option.
bool IsOneOf(TTextView text, TTextView alternatives, bool caseInsensitive, TTextView separator);

// Fills settings from the arguments (program name excluded) and applies the
// adjustments after the last one. Returns 0 to go on with the run, or the exit
// code when the program must end (usage shown or an argument rejected).
int ReadCommandLine(const std::vector<TText> &args, TRunSettings &settings);

// True if the arguments ask for the usage text alone (none, or "/?" first).
bool WantsUsage(const std::vector<TText> &args);
