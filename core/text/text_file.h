// Text files as the program reads them: script files and the line lists of
// table.loadstrings share one decoding and one way of cutting lines.
#pragma once

#include "core/text/text.h"

// The bytes of a text file as host text. A byte-order mark selects UTF-8, UTF-16
// little-endian or UTF-16 big-endian and is dropped (an odd last byte of UTF-16 is
// dropped too); without one the bytes are read in the ANSI code page.
TText DecodeTextFileBytes(TBytesView bytes);

// The lines of a text: a line ends at CR LF, at a lone LF or at a lone CR; a line
// break at the very end starts no further line; a NUL character ends the text.
TTextList SplitTextFileLines(TTextView text);
