// Which inputs a run processes (standard input, one named file, or every file a
// wildcard or recursive search finds) and processing them in order.
#pragma once

#include "core/text/text.h"
#include "script/run_settings.h"

// The files a wildcard or recursive run processes, in name order. Only regular files
// count (links followed): a dangling link, a directory, a FIFO, a socket or a device
// is not an input, and neither is a backup (a name ending in ".pwl_backup", any
// case). A file reached by its own name and through symbolic links is listed once:
// under its own name, else under the first link that reaches it. Hard links are
// separate names and each is listed.
TTextList SearchedInputs(const TRunSettings &settings);

// Reads, runs the script over and writes every input of the run; stops at the first
// input that fails. In a wildcard or recursive run an empty file is skipped with a
// note. Returns the exit code: the result of the last input processed, 0 for none.
int RunPlan(const TRunSettings &settings);
