// Launching a program or opening a document the way the desktop shell would.
#pragma once

#include "core/text/text.h"

// Performs operation on file and does not wait for what it starts. The operation
// is compared without regard to ASCII case:
// - "" or "open": an executable file (execute bit, or a bare name found along PATH)
//   is started with parameters split like a shell command line; any other existing
//   file or directory is handed to xdg-open;
// - "explore": the file or directory is handed to xdg-open;
// - anything else fails.
// A file that neither exists (relative names from the current directory) nor is
// found along PATH fails. directory, when not empty, is the started program's
// working directory. showCommand is the platform's window-show code, which has no
// meaning here. True exactly when the program was started.
bool ShellExecute(TTextView operation, TTextView file, TTextView parameters, TTextView directory,
                  int showCommand);
