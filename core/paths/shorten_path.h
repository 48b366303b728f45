// Shortening a path for the progress message by leaving out middle directories.
#pragma once

#include "core/text/text.h"

// The pieces between the occurrences of separator, empty pieces kept: a leading
// separator gives an empty first piece, a trailing one an empty last piece. An
// empty separator cuts nowhere.
TTextList SplitText(TTextView text, TTextView separator);

// Which middle parts ShortenParts keeps beside the last part. The values are
// the historic numeric modes; any value outside the named ones keeps no middle
// part, like NoMiddle.
enum class TShortenMode : int {
  FromBack = 0,    // parts nearest the last one
  Alternating = 1, // first from the front, then from the back, and so on
  FromFront = 2,   // parts from the start of the text
  NoMiddle = 3,    // only the marker and the last part
};

// The text cut at separator and shortened to at most maxLength characters by
// replacing middle parts with "..." and the separator. The last part is always
// kept (alone, when it and the marker leave no room, even if it is longer);
// mode says which middle parts are kept while they fit.
TText ShortenParts(TTextView text, int maxLength, TShortenMode mode, TTextView separator);

// ShortenParts of a path with this platform's separator "/" (no drives here).
TText ShortenPath(TTextView path, int maxLength, TShortenMode mode);

// ShortenPath under the given separator; with driveStep a leading drive "X:" is
// kept in front and the rest shortened to maxLength - 2, as paths with drive
// letters need.
TText ShortenPathWithRules(TTextView path, int maxLength, TShortenMode mode, TTextView separator,
                           bool driveStep);
