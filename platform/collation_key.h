// Collation keys: byte strings whose plain byte order is the locale comparison's order,
// so that a long list is sorted with one collation per text instead of one per
// comparison.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The key of text under the collation that CompareTextLocale uses (the same locale,
// the same strength for ignoreCase): for any a and b, comparing their keys as bytes
// gives the sign CompareTextLocale(a, b, ignoreCase) gives. Without a collator, the
// key orders by UTF-16 code units, as the comparison then does.
std::string CollationKeyLocale(std::u16string_view text, bool ignoreCase);

// The same key appended to keys (many keys in one buffer); returns its length.
std::size_t AppendCollationKeyLocale(std::u16string_view text, bool ignoreCase, std::string &keys);

// True when, for texts that share a prefix ending with separator, the order of their
// keys is the order of the keys of what follows the prefix: the separator takes part
// in no contraction or context of the collation, and secondary differences are not
// weighed from the end of the text. Lets a sort skip a long common prefix.
bool CollationKeysSplitAt(char16_t separator, bool ignoreCase);

} // namespace platform
