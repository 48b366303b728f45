// Shortening a path for the progress message by leaving out middle directories.
#pragma once

#include "core/text/text.h"

// The pieces between the occurrences of separator, empty pieces kept: a leading
// separator gives an empty first piece, a trailing one an empty last piece. An
// empty separator cuts nowhere.
TTextList SplitText(TTextView text, TTextView separator);

// The text cut at separator and shortened to at most maxLength characters by
// replacing middle parts with "..." and the separator. The last part is always
// kept (alone, when it and the marker leave no room, even if it is longer);
// mode 0 keeps parts from the back, mode 1 alternately from the front and the
// back, mode 2 from the front; other modes keep no middle part.
TText ShortenParts(TTextView text, int maxLength, int mode, TTextView separator);

// ShortenParts of a path with this platform's separator "/" (no drives here).
TText ShortenPath(TTextView path, int maxLength, int mode);

// ShortenPath under the given separator; with driveStep a leading drive "X:" is
// kept in front and the rest shortened to maxLength - 2, as paths with drive
// letters need.
TText ShortenPathWithRules(TTextView path, int maxLength, int mode, TTextView separator,
                           bool driveStep);
