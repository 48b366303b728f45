// The one writer of console messages: banner, usage, progress and errors, each
// as one line on standard error. Standard output carries only processed text.
#pragma once

#include "core/text/text.h"

void WriteMessage(TTextView text);

// The banner; with the contact line when asked for.
void ShowBanner(bool withContact);

// The banner without contact line, then the usage text.
void ShowUsage();
