// The run settings: written while the command line is read, read-only afterwards.
#pragma once

#include "core/text.h"

struct TRunSettings {
  TText InputFile;      // full path given with /i, possibly a wildcard pattern; empty = stdin
  TText OutputFile;     // /o as given; empty = standard output
  TText ScriptFile;     // full path of the script file
  TText ScriptCommands; // script text given with /c
  bool SubDirs = false;
  bool InPlace = false;
  bool CreateBak = false;
  bool InputHasWildcards = false;
};

extern TRunSettings RunSettings;
