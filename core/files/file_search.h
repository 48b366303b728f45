// Listing the entries of a directory, and optionally of all its subdirectories, whose
// names match a mask, sorted by full name.
//
// A mask is a path whose name part holds patterns separated by ";" ("dir/*.txt;*.csv").
// The directory part is the start directory (empty: the current directory, so the
// results are absolute; relative: the results are relative). Each pattern is a
// wildcard pattern in the extended syntax, matched ignoring case; FindFiles also takes
// a regular expression in braces ("{^report[0-9]+[.]txt$}", ignoring case, "." matching
// a line break too). A pattern that ends with "." matches a name without extension as
// if the name ended with a dot, so "*." picks the names without extension.
//
// Options: subdirs descends into every subdirectory; hidden includes names beginning
// with "." and descends into such directories; files includes matching non-directories
// (a dangling link among them); dirs includes every directory met, whatever its name.
//
// Directory links are followed like directories. A directory reached a second time
// (through a link, a bind mount or a loop) is not listed again, so a search always ends.
// A directory that cannot be read is passed over.
//
// Names are kept as the bytes the system reported until they are matched; a name
// invalid in the code page is carried as host text that gives the same bytes back
// (core/paths/file_names.h), so every entry is found under its own name.
//
// The result is sorted by full name with the locale's case-insensitive comparison;
// names that compare equal so fall back to byte order. A brace pattern without its
// closing brace, or a regular expression that does not compile or fails while
// matching, makes the whole result empty. Neither routine reports an error.
#pragma once

#include "core/files/file_list.h"
#include "core/text/text.h"

// The full names of the entries found: the directory as searched, a separator, the name.
TTextList FindFiles(TTextView mask, bool subdirs, bool hidden, bool files, bool dirs);

// FindFiles leaving out every entry whose name matches one of the ";" separated
// patterns of excludeNames (matched as the mask's patterns are); a directory left
// out is not descended into either.
TTextList FindFiles(TTextView mask, bool subdirs, bool hidden, bool files, bool dirs,
                    TTextView excludeNames);

// True when every pattern of a ";" separated list would be usable in a search
// (braces closed, regular expressions compiling).
bool IsValidNamePatternList(TTextView names);

// The records of the entries found; braces have no special meaning in the patterns.
TFileList FindFileInfos(TTextView mask, bool subdirs, bool hidden, bool files, bool dirs);
