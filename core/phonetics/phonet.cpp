#include "core/phonetics/phonet.h"

#include <array>

#include "core/phonetics/phonet_rules.h"
#include "core/text/case_tables.h"

namespace {

// Letter flags and, per rule set, the first rule filed under each Latin-1 character.
struct TPhonetTables {
  std::span<const TPhonetRule> Rules;
  std::array<bool, 256> Letter{};
  std::array<std::array<int, 256>, 2> Index{};
};

std::u16string_view Replacement(const TPhonetRule &rule, int set) {
  return set == 0 ? rule.First : rule.Second;
}

TPhonetTables BuildTables() {
  TPhonetTables t;
  t.Rules = PhonetRuleTable();
  for (char16_t c = u'A'; c <= u'Z'; ++c) {
    t.Letter[c] = true;
    t.Letter[c - u'A' + u'a'] = true;
  }
  for (char16_t c : std::u16string_view(u"ÄÖÜßäöü"))
    t.Letter[c] = true;
  for (auto &index : t.Index)
    index.fill(-1);
  for (size_t r = 0; r < t.Rules.size() && t.Rules[r].Pattern != PhonetEndMarker; ++r) {
    const char16_t first = t.Rules[r].Pattern[0];
    if (first > 0xFF)
      continue;
    for (int set = 0; set < 2; ++set)
      if (t.Index[set][first] < 0 && Replacement(t.Rules[r], set) != PhonetNotInSet)
        t.Index[set][first] = static_cast<int>(r);
  }
  return t;
}

const TPhonetTables &Tables() {
  static const TPhonetTables tables = BuildTables();
  return tables;
}

// Characters of a pattern that end its literal part.
bool IsPatternControl(char16_t c) {
  return c == u'$' || c == u'(' || c == u'-' || c == u'<' || c == u'^' || (c >= u'0' && c <= u'9');
}

// The outcome of matching one pattern at a text position.
struct TPatternMatch {
  size_t Next = 1;    // pattern position reached
  size_t Length = 1;  // matched text characters (after giving back)
  size_t Reached = 1; // matched text characters before giving back
  char16_t Stop = 0;  // pattern character where the literal part ended (0 at its end)
  int Priority = 5;
};

class TPhonetConverter {
public:
  TPhonetConverter(const TPhonetTables &tables, TTextView s, int set)
      : FTables(tables), FSet(set), FLimit(s.size()) {
    const char16_t *upper = WideUpperTable();
    FWord.resize(s.size());
    for (size_t p = 0; p < s.size(); ++p)
      FWord[p] = upper[s[p]];
  }

  TText Run();

private:
  // The position past the end reads as an empty position: not a letter, not ".".
  char16_t At(size_t pos) const { return pos < FWord.size() ? FWord[pos] : u'\0'; }
  bool IsLetter(char16_t c) const { return c <= 0xFF && FTables.Letter[c]; }
  bool EndsWord(char16_t c) const { return !IsLetter(c) && c != u'.'; }
  int IndexOf(char16_t c) const { return c <= 0xFF ? FTables.Index[FSet][c] : -1; }

  // Matches pattern[1..] against the text from position start + k on. A rule gives
  // matched characters back for its "-"; a follow-up rule only passes over them.
  TPatternMatch Match(TTextView pattern, size_t start, size_t k, bool giveBack) const;
  bool RuleFits(const TPatternMatch &m, TTextView pattern, size_t i) const;
  bool FollowUpOverrides(const TPatternMatch &m, size_t i) const;
  void Emit(char16_t c, bool allowRepeat);

  const TPhonetTables &FTables;
  const int FSet;
  const size_t FLimit;
  TText FWord;
  TText FOut;
};

TPatternMatch TPhonetConverter::Match(TTextView pattern, size_t start, size_t k,
                                      bool giveBack) const {
  TPatternMatch m;
  size_t p = 1;
  while (p < pattern.size() && !IsPatternControl(pattern[p]) && pattern[p] == At(start + k)) {
    ++k;
    ++p;
  }
  if (p < pattern.size() && pattern[p] == u'(') {
    const char16_t c = At(start + k);
    const size_t close = pattern.find(u')', p);
    if (IsLetter(c) && pattern.find(c, p + 1) != TTextView::npos && close != TTextView::npos) {
      ++k;
      p = close + 1;
    }
  }
  m.Stop = p < pattern.size() ? pattern[p] : u'\0';
  m.Reached = k;
  while (p < pattern.size() && pattern[p] == u'-' && (!giveBack || k > 1)) {
    if (giveBack)
      --k;
    ++p;
  }
  if (p < pattern.size() && pattern[p] == u'<')
    ++p;
  if (p < pattern.size() && pattern[p] >= u'0' && pattern[p] <= u'9') {
    m.Priority = pattern[p] - u'0';
    ++p;
  }
  if (p + 1 < pattern.size() && pattern[p] == u'^' && pattern[p + 1] == u'^')
    ++p;
  m.Next = p;
  m.Length = k;
  return m;
}

bool TPhonetConverter::RuleFits(const TPatternMatch &m, TTextView pattern, size_t i) const {
  const size_t p = m.Next;
  if (p == pattern.size())
    return true;
  const bool letterBefore = i > 0 && IsLetter(FWord[i - 1]);
  if (pattern[p] == u'^')
    return !letterBefore &&
           (p + 1 == pattern.size() || pattern[p + 1] != u'$' || EndsWord(At(i + m.Reached)));
  if (pattern[p] == u'$')
    return letterBefore && EndsWord(At(i + m.Reached));
  return false;
}

// A longer rule for the last matched character, at least as urgent, takes precedence:
// the current rule then steps aside.
bool TPhonetConverter::FollowUpOverrides(const TPatternMatch &m, size_t i) const {
  const size_t k = m.Length;
  if (k <= 1 || m.Stop == u'-' || i + k >= FWord.size())
    return false;
  const char16_t c2 = FWord[i + k - 1];
  const int first = IndexOf(c2);
  if (first < 0)
    return false;
  for (size_t r = static_cast<size_t>(first);
       r < FTables.Rules.size() && FTables.Rules[r].Pattern[0] == c2; ++r) {
    const TPhonetRule &rule = FTables.Rules[r];
    if (Replacement(rule, FSet) == PhonetNotInSet)
      continue;
    const TPatternMatch f = Match(rule.Pattern, i, k, false);
    const bool accepted = f.Next == rule.Pattern.size() ||
                          (rule.Pattern[f.Next] == u'$' && EndsWord(At(i + f.Length)));
    if (accepted && f.Length != k && f.Priority >= m.Priority)
      return true;
  }
  return false;
}

void TPhonetConverter::Emit(char16_t c, bool allowRepeat) {
  if (FOut.size() < FLimit && (allowRepeat || FOut.empty() || FOut.back() != c))
    FOut += c;
}

TText TPhonetConverter::Run() {
  size_t i = 0;
  bool rewritten = false; // a "<" rule has rewritten the text at the current position
  while (i < FWord.size()) {
    char16_t c = FWord[i];
    bool hasC = true;
    bool handled = false;
    const int first = IndexOf(c);
    for (size_t r = first < 0 ? FTables.Rules.size() : static_cast<size_t>(first);
         r < FTables.Rules.size() && FTables.Rules[r].Pattern[0] == c; ++r) {
      const TPhonetRule &rule = FTables.Rules[r];
      const TTextView replacement = Replacement(rule, FSet);
      if (replacement == PhonetNotInSet)
        continue;
      const TPatternMatch m = Match(rule.Pattern, i, 1, true);
      if (!RuleFits(m, rule.Pattern, i) || FollowUpOverrides(m, i))
        continue;

      const size_t k = m.Length;
      if (rule.Pattern.find(u'<') != TTextView::npos && !rewritten) {
        if (!FOut.empty() && !replacement.empty() &&
            (FOut.back() == c || FOut.back() == replacement[0]))
          FOut.pop_back();
        size_t written = 0;
        for (; written < replacement.size() && i + written < FWord.size(); ++written)
          FWord[i + written] = replacement[written];
        if (written < k)
          FWord.erase(i + written, k - written);
        rewritten = true;
        handled = true;
      } else {
        i += k - 1;
        rewritten = false;
        for (size_t j = 0; j + 1 < replacement.size(); ++j)
          Emit(replacement[j], false);
        hasC = !replacement.empty();
        if (hasC)
          c = replacement.back();
        if (rule.Pattern.find(u"^^") != TTextView::npos) {
          // Start afresh behind the match, as if a new text began there.
          if (hasC)
            Emit(c, true);
          FWord.erase(0, i + 1);
          i = 0;
          handled = true;
        }
      }
      break;
    }
    if (!handled) {
      if (hasC)
        Emit(c, false);
      ++i;
      rewritten = false;
    }
  }
  return FOut;
}

} // namespace

TText Phonet(TTextView s, bool firstRules) {
  TPhonetConverter converter(Tables(), s, firstRules ? 0 : 1);
  return converter.Run();
}
