// Wildcard patterns for file names and script comparisons.
//
// Basic syntax: '*' any run of characters (also none), '?' exactly one character, any
// other character itself. The extended syntax adds '+' (one or more characters), sets
// '[...]' of single characters and ranges 'x-y' ('[~...]' inverts, '[]' matches nothing,
// '[~]' any one character) and '\' which makes the next character literal, also inside a
// set. Characters are UTF-16 code units.
//
// Choices where the syntax leaves room:
// - '?' after a star does not use the star up: '*?' matches any text of at least one
//   character, like '?*'.
// - An escaped character after a star stays literal: '*\?x' matches 'a?x', not 'a?bx'.
// - A malformed pattern matches no text: a set without its closing ']' ('[ab', or '[a-]'
//   whose ']' is the upper end of the range) or a '\' at the very end of the pattern.
// - A set ends where its own reading ends, so the ']' of '[a-]]' that is the upper end of
//   the range is not also read as the closing bracket.
#pragma once

#include "core/text/text.h"

// True if the whole text matches the whole pattern. simple selects the basic syntax;
// ignoreCase upper-cases both, code unit by code unit, before comparing.
bool MatchWildcard(TTextView text, TTextView pattern, bool ignoreCase, bool simple);

// True if text contains '*' or '?', or with extended also '[' or ']'.
bool HasWildcards(TTextView text, bool extended);
