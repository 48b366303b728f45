// File names between host text and the bytes the system takes, and the current
// directory as host text: the one place a path crosses to the system and back.
#pragma once

#include <optional>

#include "core/text/text.h"

// A name crosses byte for byte: bytes the code page cannot decode travel as the
// lone surrogates U+DC80..U+DCFF and turn back into the same bytes, so a file
// whose name is invalid in the code page is found, read and written under its
// own name and never under the name of another file.

// The one way from a host path to the bytes the system takes; none for a path that
// holds a NUL character, which no system call could see whole.
std::optional<TBytes> NativeFileName(TTextView path);
// A name the system reported, as host text.
TText HostFileName(TBytesView name);

// The process's current directory (no trailing separator except at the root); empty
// when it cannot be read.
TText CurrentDirectory();
