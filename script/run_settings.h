// The run settings: filled from the command line, read-only afterwards. The
// driver and the PWL table read them through the job they belong to.
#pragma once

#include <string>
#include <vector>

#include "core/text/text.h"

struct TRunSettings {
  TText InputFile;      // full path given with /i, possibly a wildcard pattern; empty = stdin
  TText OutputFile;     // /o as given; empty = standard output
  TText ScriptFile;     // full path of the script file
  TText ScriptCommands; // script text given with /c
  bool SubDirs = false;
  bool InPlace = false;
  bool CreateBak = false;
  bool InputHasWildcards = false;
  bool DryRun = false; // /n: show the changes as a diff, write nothing
  TText ExcludeNames;  // /x patterns, ";" separated, left out of searches
  // The arguments after "--", for the script's arg table and varargs (bytes as
  // given). Without "--" the script gets neither.
  bool HasScriptArguments = false;
  std::vector<std::string> ScriptArguments;
};
