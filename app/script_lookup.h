// Finding the script file named on the command line.
#pragma once

#include "core/text.h"

// The full path of the script file, or empty when it does not exist.
TText FindScriptFile(TTextView name);
