#include "core/text/wildcard.h"

#include <vector>

#include "core/text/case_tables.h"

namespace {

enum class EElementKind { Star, AnyChar, Literal, Set };

// One pattern element; a set is kept as the index of its '[' and read again per
// comparison.
struct TElement {
  EElementKind Kind;
  char16_t Literal = 0;
  std::size_t SetStart = 0;
};

struct TCharSet {
  bool Terminated = false;
  bool Matches = false;
  std::size_t End = 0; // index after the closing ']'
};

// Reads the set whose '[' is at open and tells whether it holds c. The whole set is
// read, even after a hit, so that its end is known and an unterminated set is noticed.
TCharSet ReadCharSet(TTextView pattern, std::size_t open, char16_t c) {
  TCharSet set;
  std::size_t i = open + 1;
  bool inverted = false;
  if (i < pattern.size() && pattern[i] == u'~') {
    inverted = true;
    ++i;
  }
  bool found = false;
  // Reads one item character, honouring '\'; false at the end of the pattern.
  auto readChar = [&](char16_t &out) {
    if (i < pattern.size() && pattern[i] == u'\\')
      ++i;
    if (i >= pattern.size())
      return false;
    out = pattern[i++];
    return true;
  };
  while (i < pattern.size()) {
    if (pattern[i] == u']') {
      set.Terminated = true;
      set.Matches = found != inverted;
      set.End = i + 1;
      return set;
    }
    char16_t lower = 0;
    if (!readChar(lower))
      return set;
    char16_t upper = lower;
    if (i < pattern.size() && pattern[i] == u'-') {
      ++i;
      if (!readChar(upper))
        return set;
    }
    if (lower <= c && c <= upper)
      found = true;
  }
  return set;
}

// The pattern as a list of elements; false for a malformed pattern. '+' becomes one
// any-character element followed by a star.
bool Compile(TTextView pattern, bool simple, std::vector<TElement> &elements) {
  for (std::size_t p = 0; p < pattern.size();) {
    const char16_t c = pattern[p];
    if (c == u'*') {
      elements.push_back({EElementKind::Star});
      ++p;
    } else if (c == u'?') {
      elements.push_back({EElementKind::AnyChar});
      ++p;
    } else if (simple) {
      elements.push_back({EElementKind::Literal, c});
      ++p;
    } else if (c == u'+') {
      elements.push_back({EElementKind::AnyChar});
      elements.push_back({EElementKind::Star});
      ++p;
    } else if (c == u'[') {
      const TCharSet set = ReadCharSet(pattern, p, 0);
      if (!set.Terminated)
        return false;
      elements.push_back({EElementKind::Set, 0, p});
      p = set.End;
    } else if (c == u'\\') {
      if (p + 1 >= pattern.size())
        return false;
      elements.push_back({EElementKind::Literal, pattern[p + 1]});
      p += 2;
    } else {
      elements.push_back({EElementKind::Literal, c});
      ++p;
    }
  }
  return true;
}

bool ElementMatches(const TElement &element, TTextView pattern, char16_t c) {
  switch (element.Kind) {
  case EElementKind::AnyChar:
    return true;
  case EElementKind::Literal:
    return element.Literal == c;
  case EElementKind::Set:
    return ReadCharSet(pattern, element.SetStart, c).Matches;
  case EElementKind::Star:
    break;
  }
  return false;
}

} // namespace

bool MatchWildcard(TTextView text, TTextView pattern, bool ignoreCase, bool simple) {
  TText upperText;
  TText upperPattern;
  if (ignoreCase) {
    const char16_t *upper = WideUpperTable();
    upperText.assign(text);
    upperPattern.assign(pattern);
    for (char16_t &c : upperText)
      c = upper[c];
    for (char16_t &c : upperPattern)
      c = upper[c];
    text = upperText;
    pattern = upperPattern;
  }

  std::vector<TElement> elements;
  if (!Compile(pattern, simple, elements))
    return false;

  // Stars absorb text lazily; on a mismatch only the most recent star takes one more
  // character and matching resumes after it. Every other element takes exactly one
  // character, so earlier stars never need to take more: the search is the same as
  // trying every split after every star, without its exponential cost or recursion.
  std::size_t t = 0;
  std::size_t e = 0;
  bool haveStar = false;
  std::size_t starElement = 0;
  std::size_t starText = 0;
  while (t < text.size()) {
    if (e < elements.size() && elements[e].Kind == EElementKind::Star) {
      ++e;
      haveStar = true;
      starElement = e;
      starText = t;
    } else if (e < elements.size() && ElementMatches(elements[e], pattern, text[t])) {
      ++e;
      ++t;
    } else if (haveStar) {
      e = starElement;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (e < elements.size() && elements[e].Kind == EElementKind::Star)
    ++e;
  return e == elements.size();
}

bool HasWildcards(TTextView text, bool extended) {
  for (const char16_t c : text) {
    if (c == u'*' || c == u'?')
      return true;
    if (extended && (c == u'[' || c == u']'))
      return true;
  }
  return false;
}
