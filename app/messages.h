// The one writer of console messages: banner, usage, progress and errors, each
// as one line on standard error. Standard output carries only processed text.
#pragma once

#include "core/text/text.h"

void WriteMessage(TTextView text);

// The banner; with the contact line when asked for.
void ShowBanner(bool withContact);

// The banner without contact line, then the usage text.
void ShowUsage();

// The usage text without banner and a pointer to the manual page, on standard
// output (--help). Returns the exit code: 0, or 1 when the text could not be written.
int ShowHelp();

// The product name and version as the banner shows them, on standard output
// (--version). Returns the exit code as ShowHelp does.
int ShowVersion();
