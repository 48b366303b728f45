// The conventions a path text follows: the native set for the paths this program
// hands to the system, and the Windows set that the path text rules were first
// written for (kept so that both stay proven on every build).
#pragma once

#include <cstddef>

struct TPathRules {
  char16_t FSeparator;          // the directory separator
  char16_t FAlternateSeparator; // also accepted by full-path resolution, 0 for none
  char16_t FListSeparator;      // separates the entries of a search path list
  bool FHasDrives;              // "C:" prefixes exist; their colon also ends a directory part
  bool FHasNetworkPrefixes;     // "\\server\share" prefixes exist
  bool FIgnoreCase;             // names compare ignoring case
  std::size_t FMaxPathLength;   // longest path a combination may produce
  std::size_t FRootLength;      // length of the longest root ("C:\" or "/"), kept whole on joins
};

// The rules of the system the program runs on: on Linux "/" separator, no drives,
// case-sensitive names, 4095 characters; on Windows the Windows set.
const TPathRules &NativePathRules();
// "\" separator, "C:" drives, "\\server\share" prefixes, names ignoring case, 259 characters.
const TPathRules &WindowsPathRules();

// The separator of the rules.
bool IsPathSeparator(char16_t c, const TPathRules &rules);
// A character that ends a directory part: the separator, or a drive colon.
bool IsDirectoryDelimiter(char16_t c, const TPathRules &rules);
