// Path texts taken apart and put together, without touching the disk. Every rule
// works under a rule set (core/path_rules.h); the short forms use the native one.
#pragma once

#include "core/paths/path_rules.h"
#include "core/text/text.h"

// The text after the last directory delimiter; the whole path when there is none.
TText PathFileName(TTextView path);
TText PathFileName(TTextView path, const TPathRules &rules);

// The text up to and including the last directory delimiter; empty when there is none.
TText PathDirectoryPrefix(TTextView path);
TText PathDirectoryPrefix(TTextView path, const TPathRules &rules);

// The directory part without its trailing separator, except where the separator is
// the root itself: "C:\file" gives "C:\", "/x" gives "/".
TText PathDirectory(TTextView path);
TText PathDirectory(TTextView path, const TPathRules &rules);

// "X:" or "\\server\share" prefix, else empty (always empty without drives).
TText PathDrive(TTextView path);
TText PathDrive(TTextView path, const TPathRules &rules);

// From the last dot of the file name to the end, dot included; else empty.
TText PathExtension(TTextView path);
TText PathExtension(TTextView path, const TPathRules &rules);

// The path less its extension, followed by the extension text as given (it carries
// its own dot, or is empty to remove the extension).
TText PathChangeExtension(TTextView path, TTextView extension);
TText PathChangeExtension(TTextView path, TTextView extension, const TPathRules &rules);

// WithTrailingSeparator(directory) followed by the file name of path.
TText PathReplaceDirectory(TTextView path, TTextView directory);
TText PathReplaceDirectory(TTextView path, TTextView directory, const TPathRules &rules);

// The text with a separator appended unless it ends with one; empty gives a lone separator.
TText WithTrailingSeparator(TTextView text);
TText WithTrailingSeparator(TTextView text, const TPathRules &rules);

// The text with one trailing separator removed, if it has one.
TText WithoutTrailingSeparator(TTextView text);
TText WithoutTrailingSeparator(TTextView text, const TPathRules &rules);

// A directory made ready for appending a name: empty stays empty, a text ending in a
// delimiter is unchanged, a bare drive letter gets ":\", anything else a separator.
TText DirPrefix(TTextView directory);
TText DirPrefix(TTextView directory, const TPathRules &rules);

// DirPrefix(directory) + name; with an empty name the directory itself, less one
// trailing separator unless that separator belongs to a root.
TText JoinDirName(TTextView directory, TTextView name);
TText JoinDirName(TTextView directory, TTextView name, const TPathRules &rules);

// A path built from its four parts; an extension without a leading dot gets one.
TText MergePath(TTextView drive, TTextView directory, TTextView name, TTextView extension);
TText MergePath(TTextView drive, TTextView directory, TTextView name, TTextView extension,
                const TPathRules &rules);

// The target relative to the base, which is always taken as a directory. A target
// with another drive (or, without drives, another absoluteness) comes back unchanged.
TText PathRelative(TTextView baseDirectory, TTextView target);
TText PathRelative(TTextView baseDirectory, TTextView target, const TPathRules &rules);

// Combines two paths: a rooted second path replaces the first (on a drive: one that
// starts with a separator goes under the first's drive), else the two are joined
// with one separator; the result is canonical. False, result untouched, when the
// combination would exceed the rules' path length limit.
bool PathCombine(TTextView first, TTextView second, TText &result);
bool PathCombine(TTextView first, TTextView second, TText &result, const TPathRules &rules);

// Lexical canonical form: "." segments dropped, ".." removes the name before it (at a
// root it is dropped, in a relative path with nothing left to remove it is kept),
// repeated separators collapsed, a trailing separator kept. A relative path that
// reduces to nothing gives ".". The empty path gives the empty path.
bool PathCanonical(TTextView path, TText &result);
bool PathCanonical(TTextView path, TText &result, const TPathRules &rules);

// True without drive or network prefix and without a leading separator.
bool IsRelativePath(TTextView path);
bool IsRelativePath(TTextView path, const TPathRules &rules);

// Two path names compared as the rules compare names (exactly, or ignoring case).
bool SamePathName(TTextView a, TTextView b, const TPathRules &rules);
