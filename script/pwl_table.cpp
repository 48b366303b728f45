#include "script/pwl_table.h"

#include <algorithm>
#include <cstring>

#include "app/current_text.h"
#include "app/run_settings.h"
#include "core/tokenizer.h"
#include "engine/host_boundary.h"
#include "engine/marshalling.h"
#include "platform/code_page.h"
#include "script/filter_host.h"

namespace {

constexpr int CallbackIndex = 1;

// Marks an iteration function as running for as long as it runs. The functions
// share CurrentText and the line list, so a nested call is refused before it
// touches either.
class TIterationScope {
public:
  TIterationScope(VIroveridUza& host, const char* name, TLineList* lines = nullptr)
      : FHost(host) {
    if (host.Iterating())
      throw EScriptError::WithMessage(std::string("PWL.") + name +
                                      " cannot be called from inside a PWL callback");
    host.SetIterating(true);
    host.SetCurrentLines(lines);
  }
  ~TIterationScope() {
    FHost.SetIterating(false);
    FHost.SetCurrentLines(nullptr);
  }
  TIterationScope(const TIterationScope&) = delete;
  TIterationScope& operator=(const TIterationScope&) = delete;

private:
  VIroveridUza& FHost;
};

// Calls the callback with the arguments pushed above it, for exactly one result.
// An error raised by the callback stands in the result's place.
void CallCallback(lua_State* L, int argumentCount) {
  lua_pcall(L, argumentCount, 1, 0);
  ThrowIfHostFailed(L);
}

// The callback's result: nil removes the item (false), a string or number gives
// the item's new bytes; any other value is an argument error.
bool CallbackResult(lua_State* L, std::string_view& bytes) {
  int type = lua_type(L, -1);
  if (type == LUA_TNIL || type == LUA_TNONE)
    return false;
  if (type != LUA_TSTRING && type != LUA_TNUMBER)
    throw EScriptError::Argument(-1, "string expected, got " + LuaTypeNameOf(L, -1));
  size_t length = 0;
  const char* s = lua_tolstring(L, -1, &length);
  bytes = std::string_view(s, length);
  return true;
}

void ReplaceCurrentText(VIroveridUza& host, std::string text) {
  CurrentText = std::move(text);
  host.CurrentTextChanged();
}

void PushBytes(lua_State* L, std::string_view bytes) { lua_pushlstring(L, bytes.data(), bytes.size()); }

int ForEachChar(lua_State* L) {
  LuaCheckFunction(L, CallbackIndex);
  lua_Integer user = LuaOptInteger(L, 2, 0);
  VIroveridUza& host = VIroveridUza::FromState(L);
  TIterationScope scope(host, "ForEachChar");
  lua_settop(L, CallbackIndex);
  const std::string& text = CurrentText;
  if (!text.empty()) {
    std::string output;
    output.reserve(text.size()); // grows geometrically from there
    for (size_t p = 0; p < text.size(); ++p) {
      lua_pushvalue(L, CallbackIndex);
      PushBytes(L, std::string_view(&text[p], 1));
      lua_pushinteger(L, lua_Integer(p + 1));
      lua_pushinteger(L, user);
      PushBytes(L, p > 0 ? std::string_view(&text[p - 1], 1) : std::string_view());
      PushBytes(L, p + 1 < text.size() ? std::string_view(&text[p + 1], 1) : std::string_view());
      CallCallback(L, 5);
      std::string_view result;
      if (CallbackResult(L, result))
        output.append(result);
      lua_pop(L, 1);
    }
    output.shrink_to_fit();
    ReplaceCurrentText(host, std::move(output));
  }
  LuaClearStack(L);
  return LuaReturnBoolean(L, true);
}

int ForEachLine(lua_State* L) {
  LuaCheckFunction(L, CallbackIndex);
  lua_Integer user = LuaOptInteger(L, 2, 0);
  VIroveridUza& host = VIroveridUza::FromState(L);
  TLineList lines(CurrentText);
  TIterationScope scope(host, "ForEachLine", &lines);
  lua_settop(L, CallbackIndex);
  lua_Integer number = 1;
  while (!lines.AtEnd()) {
    lua_pushvalue(L, CallbackIndex);
    PushBytes(L, lines.Current());
    lua_pushinteger(L, number);
    lua_pushinteger(L, user);
    CallCallback(L, 3);
    std::string_view result;
    if (CallbackResult(L, result)) {
      lines.ReplaceCurrent(result);
      ++number;
    } else {
      lines.DeleteCurrent(); // the next line gets the same number
    }
    lua_pop(L, 1);
  }
  ReplaceCurrentText(host, lines.TakeOutput());
  LuaClearStack(L);
  return LuaReturnBoolean(L, true);
}

int ForEachToken(lua_State* L) {
  LuaCheckFunction(L, CallbackIndex);
  TBytes separatorBytes = LuaOptString(L, 2, " ");
  bool mergeSeparators = LuaOptBoolean(L, 3, false);
  bool skipLeadingSeparator = LuaOptBoolean(L, 4, false);
  bool dropEmptyLast = LuaOptBoolean(L, 5, false);
  lua_Integer user = LuaOptInteger(L, 6, 0);
  VIroveridUza& host = VIroveridUza::FromState(L);
  TLineList lines(CurrentText);
  TIterationScope scope(host, "ForEachToken", &lines);
  lua_settop(L, CallbackIndex);
  // Tokens are cut in host text, through a conversion that keeps every byte, so
  // tokens returned unchanged come back as they were read.
  const platform::TCodePage& page = platform::AnsiCodePage();
  TText separators = page.DecodeLossless(separatorBytes);
  std::string joinedSeparators = page.EncodeLossless(separators);
  lua_Integer lineNumber = 1;
  std::string line;
  while (!lines.AtEnd()) {
    TTextList tokens = TokenList(page.DecodeLossless(lines.Current()), separators,
                                 mergeSeparators, skipLeadingSeparator, dropEmptyLast);
    line.clear();
    bool first = true;
    lua_Integer tokenNumber = 1;
    for (const TText& token : tokens) {
      lua_pushvalue(L, CallbackIndex);
      PushBytes(L, page.EncodeLossless(token));
      lua_pushinteger(L, lineNumber);
      lua_pushinteger(L, tokenNumber);
      lua_pushinteger(L, user);
      CallCallback(L, 4);
      std::string_view result;
      if (CallbackResult(L, result) && !result.empty()) {
        if (!first)
          line += joinedSeparators;
        line.append(result);
        first = false;
        ++tokenNumber;
      }
      lua_pop(L, 1);
    }
    lines.ReplaceCurrent(line);
    ++lineNumber;
  }
  ReplaceCurrentText(host, lines.TakeOutput());
  LuaClearStack(L);
  return LuaReturnBoolean(L, true);
}

// A merge sort over line indices: it needs fewer comparisons than a quicksort,
// and whatever the comparison answers, it stays inside the list and ends.
class TLineSorter {
public:
  TLineSorter(lua_State* L, int linesTable, lua_Integer user)
      : FL(L), FLinesTable(linesTable), FUser(user) {}

  void Sort(std::vector<uint32_t>& order) {
    FBuffer.resize(order.size());
    SortRange(order.data(), FBuffer.data(), order.size());
  }

private:
  // Sorts items[0, n) in place, using scratch[0, n).
  void SortRange(uint32_t* items, uint32_t* scratch, size_t n) {
    if (n < 2)
      return;
    size_t half = n / 2;
    SortRange(items, scratch, half);
    SortRange(items + half, scratch, n - half);
    if (!Before(items[half], items[half - 1]))
      return; // already in order
    std::copy(items, items + half, scratch);
    size_t left = 0, right = half, out = 0;
    while (left < half && right < n)
      items[out++] = Before(items[right], scratch[left]) ? items[right++] : scratch[left++];
    while (left < half)
      items[out++] = scratch[left++];
  }

  // True when line a sorts before line b: the comparison of a with b is negative.
  bool Before(uint32_t a, uint32_t b) {
    lua_State* L = FL;
    lua_pushvalue(L, CallbackIndex);
    lua_rawgeti(L, FLinesTable, lua_Integer(a) + 1);
    lua_rawgeti(L, FLinesTable, lua_Integer(b) + 1);
    lua_pushinteger(L, FUser);
    CallCallback(L, 3);
    auto result = int32_t(uint32_t(LuaCheckInteger(L, -1))); // the low 32 bits, signed
    lua_pop(L, 1);
    return result < 0;
  }

  lua_State* FL;
  int FLinesTable;
  lua_Integer FUser;
  std::vector<uint32_t> FBuffer;
};

int SortLines(lua_State* L) {
  LuaCheckFunction(L, CallbackIndex);
  lua_Integer user = LuaOptInteger(L, 2, 0);
  VIroveridUza& host = VIroveridUza::FromState(L);
  TLineList lines(CurrentText);
  TIterationScope scope(host, "SortLines", &lines);
  lua_settop(L, CallbackIndex);
  if (lines.Size() > UINT32_MAX)
    throw EScriptError::WithMessage("too many lines to sort");
  if (lines.Size() >= 2) {
    // The lines as script strings once, so a comparison only fetches them.
    lua_createtable(L, int(std::min<size_t>(lines.Size(), INT32_MAX)), 0);
    for (size_t i = 0; i < lines.Size(); ++i) {
      PushBytes(L, lines.Line(i));
      lua_rawseti(L, -2, lua_Integer(i) + 1);
    }
    std::vector<uint32_t> order(lines.Size());
    for (size_t i = 0; i < order.size(); ++i)
      order[i] = uint32_t(i);
    TLineSorter(L, lua_gettop(L), user).Sort(order);
    lines.Reorder(order);
    ReplaceCurrentText(host, lines.Join());
  }
  return LuaClearStack(L);
}

int CharCount(lua_State* L) {
  LuaClearStack(L);
  return LuaReturnInteger(L, std::int64_t(CurrentText.size()));
}

const TLineList& VisibleLines(VIroveridUza& host) {
  return host.CurrentLines() ? *host.CurrentLines() : host.CurrentTextLines();
}

int LineCount(lua_State* L) {
  VIroveridUza& host = VIroveridUza::FromState(L);
  LuaClearStack(L);
  return LuaReturnInteger(L, std::int64_t(VisibleLines(host).Count()));
}

int GetChar(lua_State* L) {
  lua_Integer p = LuaCheckInteger(L, 1);
  LuaClearStack(L);
  if (p < 1 || std::uint64_t(p) > CurrentText.size())
    return LuaReturnNil(L);
  return LuaReturnByteString(L, std::string_view(&CurrentText[size_t(p - 1)], 1));
}

int GetLine(lua_State* L) {
  lua_Integer n = LuaCheckInteger(L, 1);
  VIroveridUza& host = VIroveridUza::FromState(L);
  LuaClearStack(L);
  const TLineList& lines = VisibleLines(host);
  if (n < 1 || std::uint64_t(n) > lines.Count())
    return LuaReturnNil(L);
  return LuaReturnByteString(L, lines.Line(size_t(n - 1)));
}

int InputFile(lua_State* L) {
  LuaClearStack(L);
  return LuaReturnText(L, RunSettings.InputFile);
}

int OutputFile(lua_State* L) {
  LuaClearStack(L);
  return LuaReturnText(L, RunSettings.OutputFile);
}

int ScriptFile(lua_State* L) {
  LuaClearStack(L);
  return LuaReturnText(L, RunSettings.ScriptFile);
}

int SubDirs(lua_State* L) {
  LuaClearStack(L);
  return LuaReturnBoolean(L, RunSettings.SubDirs);
}

int InPlace(lua_State* L) {
  LuaClearStack(L);
  return LuaReturnBoolean(L, RunSettings.InPlace);
}

int CreateBak(lua_State* L) {
  LuaClearStack(L);
  return LuaReturnBoolean(L, RunSettings.CreateBak);
}

const luaL_Reg PwlFunctions[] = {
    {"ForEachChar", LuaBoundary<ForEachChar>},
    {"ForEachLine", LuaBoundary<ForEachLine>},
    {"ForEachToken", LuaBoundary<ForEachToken>},
    {"SortLines", LuaBoundary<SortLines>},
    {"CharCount", LuaBoundary<CharCount>},
    {"LineCount", LuaBoundary<LineCount>},
    {"GetChar", LuaBoundary<GetChar>},
    {"GetLine", LuaBoundary<GetLine>},
    {"InputFile", LuaBoundary<InputFile>},
    {"OutputFile", LuaBoundary<OutputFile>},
    {"ScriptFile", LuaBoundary<ScriptFile>},
    {"SubDirs", LuaBoundary<SubDirs>},
    {"InPlace", LuaBoundary<InPlace>},
    {"CreateBak", LuaBoundary<CreateBak>},
    {nullptr, nullptr},
};

} // namespace

void RegisterPwlTable(lua_State* L) {
  lua_createtable(L, 0, int(std::size(PwlFunctions) - 1));
  luaL_setfuncs(L, PwlFunctions, 0);
  lua_setglobal(L, "PWL");
}
