// Full-path resolution: a path made absolute against a current directory.
#pragma once

#include "core/paths/path_rules.h"
#include "core/text/text.h"

// The absolute, canonical form of path against the process's current directory
// (no link is resolved); empty for the empty path or when the current directory
// cannot be read.
TText PathExpand(TTextView path);

// The same against a given current directory and rule set. Alternate separators,
// in both texts, become the separator; under drives, a drive-relative path ("D:x") resolves against
// the current directory when that is on the same drive, else against the drive's
// root, and a path starting with a separator against the current drive's root.
// Empty when the path is empty, or relative with an empty current directory.
TText PathExpandFrom(TTextView path, TTextView currentDirectory, const TPathRules &rules);
