// A parameter text cut into the separate arguments of a program, the way a shell
// cuts a command line (without any expansion).
#pragma once

#include "core/text/text.h"

// Words are separated by runs of blanks (space, tab, CR, LF) outside quotes.
// 'single quotes' take everything up to the next single quote literally; inside
// "double quotes" a backslash escapes only ", \, $ and ` and is kept before any
// other character; outside quotes a backslash takes the next character literally.
// Quoted parts join the characters around them into one word, and "" or '' alone
// is an empty word. A quote left open runs to the end of the text, and a backslash
// at the very end is kept.
TTextList SplitShellWords(TTextView text);
