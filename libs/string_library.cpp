// The extra functions of the script's string table: comparisons, prefix and suffix
// handling, splitting, list lookup, translation, trimming and deletion. Each reads
// its arguments, clears the stack, hands host text to one core routine and returns
// the result; the phonetic and distance functions live in string_library_phonetics.
#include <algorithm>
#include <optional>

#include "core/text/text_routines.h"
#include "core/text/tokenizer.h"
#include "core/text/wildcard.h"
#include "engine/host_boundary.h"
#include "engine/marshalling.h"
#include "libs/extension_libraries.h"
#include "libs/string_library_phonetics.h"
#include "platform/code_page.h"
#include "platform/locale_collation.h"

namespace {

// The characters of s one by one. A surrogate pair stays one entry: cut in two, each
// half would reach the script as a replacement character.
TTextList SingleCharacters(TTextView s) {
  TTextList characters;
  characters.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::size_t length = 1;
    if (IsHighSurrogate(s[i]) && i + 1 < s.size() && IsLowSurrogate(s[i + 1]))
      length = 2;
    characters.emplace_back(s.substr(i, length));
    i += length - 1;
  }
  return characters;
}

// A position of delete as a 1-based index: 0 is 1, a negative one counts from the end
// (clamped to 1), a positive one stays even beyond the end.
std::int64_t NormalisedPosition(std::int64_t position, std::int64_t length) {
  if (position == 0)
    return 1;
  if (position > 0)
    return position;
  return std::max<std::int64_t>(length + position + 1, 1);
}

int Append(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes add = LuaOptString(L, 2, "");
  TBytes sep = LuaOptString(L, 3, "");
  bool prepend = LuaOptBoolean(L, 4, false);
  bool force = LuaOptBoolean(L, 5, false);
  LuaClearStack(L);
  return LuaReturnText(
      L, AppendText(BytesToText(s), BytesToText(add), BytesToText(sep), prepend, force));
}

int Compare(lua_State *L) {
  TBytes a = LuaCheckString(L, 1);
  TBytes b = LuaOptString(L, 2, "");
  bool ignoreCase = LuaOptBoolean(L, 3, true);
  LuaClearStack(L);
  return LuaReturnInteger(L,
                          platform::CompareTextLocale(BytesToText(a), BytesToText(b), ignoreCase));
}

int CompareWildcard(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes pattern = LuaOptString(L, 2, "");
  bool ignoreCase = LuaOptBoolean(L, 3, true);
  bool extended = LuaOptBoolean(L, 4, false);
  LuaClearStack(L);
  return LuaReturnBoolean(
      L, MatchWildcard(BytesToText(s), BytesToText(pattern), ignoreCase, !extended));
}

int Delete(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  std::int64_t first = LuaOptInteger(L, 2, 1);
  std::int64_t last = LuaOptInteger(L, 3, 0);
  LuaClearStack(L);
  TText text = BytesToText(s);
  const auto length = static_cast<std::int64_t>(text.size());
  if (last == 0)
    last = first;
  first = NormalisedPosition(first, length);
  last = NormalisedPosition(last, length);
  if (last < first)
    return LuaReturnByteString(L, s);
  // Keep 1..first-1 and last+1..length; both parts may lie beyond the end.
  const auto headLength = static_cast<std::size_t>(std::min(first - 1, length));
  const auto tailStart = static_cast<std::size_t>(std::min(last, length));
  TText result = text.substr(0, headLength);
  result += TTextView(text).substr(tailStart);
  return LuaReturnText(L, result);
}

int DeleteFirstFunction(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes prefix = LuaOptString(L, 2, "");
  bool ignoreCase = LuaOptBoolean(L, 3, true);
  LuaClearStack(L);
  return LuaReturnText(L, DeleteFirst(BytesToText(s), BytesToText(prefix), ignoreCase));
}

int DeleteLastFunction(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes suffix = LuaOptString(L, 2, "");
  bool ignoreCase = LuaOptBoolean(L, 3, true);
  LuaClearStack(L);
  return LuaReturnText(L, DeleteLast(BytesToText(s), BytesToText(suffix), ignoreCase));
}

int EndsWithFunction(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes suffix = LuaOptString(L, 2, "");
  bool ignoreCase = LuaOptBoolean(L, 3, true);
  LuaClearStack(L);
  return LuaReturnBoolean(L, EndsWith(BytesToText(s), BytesToText(suffix), ignoreCase));
}

int IndexOf(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  const bool listIsTable = lua_type(L, 2) == LUA_TTABLE;
  // Table entries are all read before anything is compared; a text list is split later.
  TTextList entries = listIsTable ? LuaCheckStringList(L, 2) : TTextList{};
  TBytes listText = listIsTable ? TBytes() : LuaCheckString(L, 2);
  bool ignoreCase = LuaOptBoolean(L, 3, true);
  TBytes separators = listIsTable ? TBytes() : LuaOptString(L, 4, "|");
  LuaClearStack(L);
  const std::ptrdiff_t index = listIsTable ? IndexOfText(BytesToText(s), entries, ignoreCase)
                                           : IndexOfToken(BytesToText(s), BytesToText(listText),
                                                          ignoreCase, BytesToText(separators));
  if (index < 0)
    return LuaReturnNil(L);
  return LuaReturnInteger(L, index + 1);
}

int IsSame(lua_State *L) {
  TBytes a = LuaCheckString(L, 1);
  TBytes b = LuaOptString(L, 2, "");
  bool ignoreCase = LuaOptBoolean(L, 3, true);
  LuaClearStack(L);
  return LuaReturnBoolean(L, SameTextLocale(BytesToText(a), BytesToText(b), ignoreCase));
}

int Split(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes separators = LuaOptString(L, 2, " ");
  LuaClearStack(L);
  TText text = BytesToText(s);
  if (separators.empty())
    return LuaReturnStringList(L, SingleCharacters(text));
  return LuaReturnStringList(L, TokenList(text, BytesToText(separators), false, false, false));
}

// splitfirst and splitlast: two trimmed parts, or s alone for an empty separator.
int SplitAtOccurrence(lua_State *L, bool fromEnd) {
  TBytes s = LuaCheckString(L, 1);
  TBytes sep = LuaOptString(L, 2, " ");
  bool ignoreCase = LuaOptBoolean(L, 3, true);
  bool trimBefore = LuaOptBoolean(L, 4, true);
  bool trimAfter = LuaOptBoolean(L, 5, true);
  LuaClearStack(L);
  if (sep.empty())
    return LuaReturnByteString(L, s);
  TSplitResult parts =
      SplitAt(BytesToText(s), BytesToText(sep), ignoreCase, fromEnd, trimBefore, trimAfter);
  return LuaReturnTexts(L, parts.First, parts.Second);
}

int SplitFirst(lua_State *L) {
  return SplitAtOccurrence(L, false);
}
int SplitLast(lua_State *L) {
  return SplitAtOccurrence(L, true);
}

int StartsWithFunction(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes prefix = LuaOptString(L, 2, "");
  bool ignoreCase = LuaOptBoolean(L, 3, true);
  LuaClearStack(L);
  return LuaReturnBoolean(L, StartsWith(BytesToText(s), BytesToText(prefix), ignoreCase));
}

int TokenListFunction(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes separators = LuaOptString(L, 2, " ");
  bool merge = LuaOptBoolean(L, 3, false);
  bool skipLeading = LuaOptBoolean(L, 4, false);
  bool dropEmptyLast = LuaOptBoolean(L, 5, false);
  LuaClearStack(L);
  return LuaReturnStringList(
      L, TokenList(BytesToText(s), BytesToText(separators), merge, skipLeading, dropEmptyLast));
}

int TokenListExFunction(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes separators = LuaOptString(L, 2, " ");
  TBytes openQuotes = LuaOptString(L, 3, "\"");
  TBytes closeQuotes = LuaOptString(L, 4, "\"");
  bool merge = LuaOptBoolean(L, 5, false);
  bool skipLeading = LuaOptBoolean(L, 6, false);
  bool dropEmptyLast = LuaOptBoolean(L, 7, false);
  bool keepQuotes = LuaOptBoolean(L, 8, false);
  LuaClearStack(L);
  // A quote pair without closing character throws ERangeError: a host failure that
  // ends the run, not a script error.
  return LuaReturnStringList(L, TokenListEx(BytesToText(s), BytesToText(separators),
                                            BytesToText(openQuotes), BytesToText(closeQuotes),
                                            merge, skipLeading, dropEmptyLast, keepQuotes));
}

int TranslateFunction(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  TBytes replaceChars = LuaCheckString(L, 2);
  TBytes searchChars = LuaCheckString(L, 3);
  TBytes fill = LuaOptString(L, 4, "");
  bool ignoreCase = LuaOptBoolean(L, 5, true);
  LuaClearStack(L);
  TText fillText = BytesToText(fill);
  std::optional<char16_t> fillChar;
  if (!fillText.empty())
    fillChar = fillText.front();
  return LuaReturnText(L, Translate(BytesToText(s), BytesToText(replaceChars),
                                    BytesToText(searchChars), fillChar, ignoreCase));
}

// trim, trimleft and trimright share their shape.
template <TText (*Trimmer)(TTextView)> int TrimFunction(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  LuaClearStack(L);
  return LuaReturnText(L, Trimmer(BytesToText(s)));
}

} // namespace

const luaL_Reg *StringExtensionFunctions() {
  static const luaL_Reg functions[] = {{"append", LuaBoundary<Append>},
                                       {"colognephonetic", LuaBoundary<StringColognePhonetic>},
                                       {"compare", LuaBoundary<Compare>},
                                       {"comparewildcard", LuaBoundary<CompareWildcard>},
                                       {"delete", LuaBoundary<Delete>},
                                       {"deletefirst", LuaBoundary<DeleteFirstFunction>},
                                       {"deletelast", LuaBoundary<DeleteLastFunction>},
                                       {"endswith", LuaBoundary<EndsWithFunction>},
                                       {"indexof", LuaBoundary<IndexOf>},
                                       {"issame", LuaBoundary<IsSame>},
                                       {"levenshtein", LuaBoundary<StringLevenshtein>},
                                       {"metaphone", LuaBoundary<StringMetaphone>},
                                       {"normalize", LuaBoundary<StringNormalize>},
                                       {"phonetic", LuaBoundary<StringPhonetic>},
                                       {"split", LuaBoundary<Split>},
                                       {"splitfirst", LuaBoundary<SplitFirst>},
                                       {"splitlast", LuaBoundary<SplitLast>},
                                       {"startswith", LuaBoundary<StartsWithFunction>},
                                       {"tokenlist", LuaBoundary<TokenListFunction>},
                                       {"tokenlistex", LuaBoundary<TokenListExFunction>},
                                       {"translate", LuaBoundary<TranslateFunction>},
                                       {"trim", LuaBoundary<TrimFunction<Trim>>},
                                       {"trimleft", LuaBoundary<TrimFunction<TrimLeft>>},
                                       {"trimright", LuaBoundary<TrimFunction<TrimRight>>},
                                       {nullptr, nullptr}};
  return functions;
}
