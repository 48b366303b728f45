// Copying and moving files by name. Neither ever replaces what it must not: a copy
// writes its target atomically and leaves a read-only target alone, a move never
// replaces an existing target, and no failure costs the source its content.
#pragma once

#include "core/text/text.h"

// Copies a regular file (links followed) over target, carrying its permission bits,
// extended attributes and ACL; an ACL the target's file system refuses fails the
// copy. Anything else as source (a directory, a FIFO, a device) fails: reading it
// could block or never end. With failIfExists an existing target (a dangling link
// included) fails and is left as it is. A target that is read-only (no write bit at
// all) is never overwritten.
bool CopyFilePath(TTextView source, TTextView target, bool failIfExists);

// Renames source (a file, a link or a directory) to target, never replacing an
// existing target. A regular file that has to cross file systems is copied into
// target's directory under a temporary name, renamed to target and only then removed
// at its old place; when that removal fails, the copy is removed again and the move
// fails, so the file is never in two places after a failed move. A directory or a
// link does not cross file systems.
bool MovePath(TTextView source, TTextView target);
