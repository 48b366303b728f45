// Turning the script name of the command line into the full path of an existing file.
#pragma once

#include "core/text/text.h"

// A name with a directory part: its full path when it names an existing file, else
// empty; nothing is searched. A bare name is looked for in the current directory, then
// in the program's own directory, then in each directory of PATH (split at the list
// separator after %NAME% references are expanded; pieces that are not directories are
// skipped). In a directory, any entry of that name counts, a directory included; a name
// with "*" or "?" takes the first matching entry in byte order. No extension is added.
// Empty when nothing is found.
TText SearchFile(TTextView fileName);
