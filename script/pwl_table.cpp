#include "script/pwl_table.h"

#include <algorithm>
#include <cstring>

#include "core/text/tokenizer.h"
#include "engine/host_boundary.h"
#include "engine/marshalling.h"
#include "libs/file_name_marshalling.h"
#include "platform/code_page.h"
#include "platform/large_buffer.h"
#include "script/callback_loop.h"
#include "script/line_sort.h"
#include "script/pwl_context.h"

namespace {

constexpr int CallbackIndex = 1;

// Every PWL function carries the run's context as its upvalue.
TPwlContext &ContextOf(lua_State *L) {
  return *static_cast<TPwlContext *>(lua_touserdata(L, lua_upvalueindex(1)));
}

// Marks an iteration function as running for as long as it runs. The functions
// share the text and the line list, so a nested call is refused before it
// touches either.
class TIterationScope {
public:
  TIterationScope(TPwlContext &host, const char *name, TLineRewriter *lines = nullptr)
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
  TIterationScope(const TIterationScope &) = delete;
  TIterationScope &operator=(const TIterationScope &) = delete;

private:
  TPwlContext &FHost;
};

// The callback's result: nil removes the item (false), a string or number gives
// the item's new bytes; any other value is an argument error.
bool CallbackResult(lua_State *L, std::string_view &bytes) {
  int type = lua_type(L, -1);
  if (type == LUA_TNIL || type == LUA_TNONE)
    return false;
  if (type != LUA_TSTRING && type != LUA_TNUMBER)
    throw EScriptError::Argument(-1, "string expected, got " + LuaTypeNameOf(L, -1));
  size_t length = 0;
  const char *s = lua_tolstring(L, -1, &length);
  bytes = std::string_view(s, length);
  return true;
}

void PushBytes(lua_State *L, std::string_view bytes) {
  lua_pushlstring(L, bytes.data(), bytes.size());
}

class TLineLoop : public TCallbackLoop {
public:
  TLineLoop(TLineRewriter &lines, lua_Integer user) : FLines(lines), FUser(user) {}
  bool AtEnd() const override { return FLines.AtEnd(); }
  int PushArguments(lua_State *L) override {
    PushBytes(L, FLines.Current());
    lua_pushinteger(L, FNumber);
    lua_pushinteger(L, FUser);
    return 3;
  }
  void TakeResult(lua_State *L) override {
    std::string_view result;
    if (CallbackResult(L, result)) {
      FLines.ReplaceCurrent(result);
      ++FNumber;
    } else {
      FLines.DeleteCurrent(); // the next line gets the same number
    }
  }

private:
  TLineRewriter &FLines;
  lua_Integer FUser;
  lua_Integer FNumber = 1;
};

int ForEachLine(lua_State *L) {
  LuaCheckFunction(L, CallbackIndex);
  lua_Integer user = LuaOptInteger(L, 2, 0);
  TPwlContext &host = ContextOf(L);
  TLineRewriter lines(host.Text());
  TIterationScope scope(host, "ForEachLine", &lines);
  lua_settop(L, CallbackIndex);
  TLineLoop(lines, user).Run(L, CallbackIndex, "ForEachLine");
  if (std::optional<std::string> output = lines.TakeOutput())
    host.ReplaceText(std::move(*output));
  LuaClearStack(L);
  return LuaReturnBoolean(L, true);
}

class TCharLoop : public TCallbackLoop {
public:
  TCharLoop(const std::string &text, lua_Integer user) : FText(text), FUser(user) {
    platform::ReserveLargeText(FOutput, text.size()); // grows geometrically from there
  }
  bool AtEnd() const override { return FPos >= FText.size(); }
  int PushArguments(lua_State *L) override {
    // The neighbours are those of the text as it was read, never replacement results.
    PushBytes(L, std::string_view(&FText[FPos], 1));
    lua_pushinteger(L, lua_Integer(FPos + 1));
    lua_pushinteger(L, FUser);
    PushBytes(L, FPos > 0 ? std::string_view(&FText[FPos - 1], 1) : std::string_view());
    PushBytes(L,
              FPos + 1 < FText.size() ? std::string_view(&FText[FPos + 1], 1) : std::string_view());
    return 5;
  }
  void TakeResult(lua_State *L) override {
    std::string_view result;
    if (CallbackResult(L, result))
      FOutput.append(result);
    ++FPos;
  }
  std::string TakeOutput() {
    FOutput.shrink_to_fit();
    return std::move(FOutput);
  }

private:
  const std::string &FText;
  lua_Integer FUser;
  size_t FPos = 0;
  std::string FOutput;
};

int ForEachChar(lua_State *L) {
  LuaCheckFunction(L, CallbackIndex);
  lua_Integer user = LuaOptInteger(L, 2, 0);
  TPwlContext &host = ContextOf(L);
  TIterationScope scope(host, "ForEachChar");
  lua_settop(L, CallbackIndex);
  if (!host.Text().empty()) {
    TCharLoop loop(host.Text(), user);
    loop.Run(L, CallbackIndex, "ForEachChar");
    host.ReplaceText(loop.TakeOutput());
  }
  LuaClearStack(L);
  return LuaReturnBoolean(L, true);
}

// Tokens are cut in host text, through a conversion that keeps every byte, so
// tokens returned unchanged come back as they were read. Kept tokens are joined
// with the whole separators string; a line without tokens becomes empty.
class TTokenLoop : public TCallbackLoop {
public:
  struct TOptions {
    TText Separators;
    bool MergeSeparators, SkipLeadingSeparator, DropEmptyLast;
    lua_Integer User;
  };

  TTokenLoop(TLineRewriter &lines, TOptions options)
      : FLines(lines), FOptions(std::move(options)), FPage(platform::AnsiCodePage()),
        FJoin(FPage.EncodeLossless(FOptions.Separators)) {
    AdvanceToNextToken();
  }
  bool AtEnd() const override { return FLines.AtEnd(); }
  int PushArguments(lua_State *L) override {
    PushBytes(L, FTokenBytes);
    lua_pushinteger(L, FLineNumber);
    lua_pushinteger(L, FTokenNumber);
    lua_pushinteger(L, FOptions.User);
    return 4;
  }
  void TakeResult(lua_State *L) override {
    std::string_view result;
    if (CallbackResult(L, result) && !result.empty()) {
      if (FTokenNumber > 1)
        FLine += FJoin;
      FLine.append(result);
      ++FTokenNumber;
    }
    ++FTokenIndex;
    AdvanceToNextToken();
  }

private:
  // Moves on until a token is ready for the callback or every line is done;
  // a line whose tokens are all done is written back on the way.
  void AdvanceToNextToken() {
    while (!FLines.AtEnd() && FTokenIndex >= FTokens.size()) {
      if (FLineLoaded) {
        FLines.ReplaceCurrent(FLine);
        ++FLineNumber;
        FLineLoaded = false;
        continue;
      }
      FTokens = TokenList(FPage.DecodeLossless(FLines.Current()), FOptions.Separators,
                          FOptions.MergeSeparators, FOptions.SkipLeadingSeparator,
                          FOptions.DropEmptyLast);
      FTokenIndex = 0;
      FTokenNumber = 1;
      FLine.clear();
      FLineLoaded = true;
    }
    if (!FLines.AtEnd())
      FTokenBytes = FPage.EncodeLossless(FTokens[FTokenIndex]);
  }

  TLineRewriter &FLines;
  TOptions FOptions;
  const platform::TCodePage &FPage;
  std::string FJoin;
  TTextList FTokens;
  size_t FTokenIndex = 0;
  bool FLineLoaded = false;
  lua_Integer FLineNumber = 1;
  lua_Integer FTokenNumber = 1;
  std::string FTokenBytes;
  std::string FLine;
};

int ForEachToken(lua_State *L) {
  LuaCheckFunction(L, CallbackIndex);
  TBytes separators = LuaOptString(L, 2, " ");
  TTokenLoop::TOptions options;
  options.MergeSeparators = LuaOptBoolean(L, 3, false);
  options.SkipLeadingSeparator = LuaOptBoolean(L, 4, false);
  options.DropEmptyLast = LuaOptBoolean(L, 5, false);
  options.User = LuaOptInteger(L, 6, 0);
  options.Separators = platform::AnsiCodePage().DecodeLossless(separators);
  TPwlContext &host = ContextOf(L);
  TLineRewriter lines(host.Text());
  TIterationScope scope(host, "ForEachToken", &lines);
  lua_settop(L, CallbackIndex);
  TTokenLoop(lines, std::move(options)).Run(L, CallbackIndex, "ForEachToken");
  if (std::optional<std::string> output = lines.TakeOutput())
    host.ReplaceText(std::move(*output));
  LuaClearStack(L);
  return LuaReturnBoolean(L, true);
}

int SortLines(lua_State *L) {
  LuaCheckFunction(L, CallbackIndex);
  lua_Integer user = LuaOptInteger(L, 2, 0);
  TPwlContext &host = ContextOf(L);
  TLineRewriter lines(host.Text());
  TIterationScope scope(host, "SortLines", &lines);
  lua_settop(L, CallbackIndex);
  size_t count = lines.Count();
  if (count > UINT32_MAX || count > size_t(INT32_MAX))
    throw EScriptError::WithMessage("too many lines to sort");
  if (count >= 2) {
    // The lines as script strings once, so a comparison only fetches them.
    lua_createtable(L, int(count), 0);
    for (size_t i = 0; i < count; ++i) {
      PushBytes(L, lines.Line(i));
      lua_rawseti(L, -2, lua_Integer(i) + 1);
    }
    TLineSort sort(count, user);
    lines.Reorder(sort.Sort(L, CallbackIndex, lua_gettop(L)));
    host.ReplaceText(lines.Join());
  }
  return LuaClearStack(L);
}

int CharCount(lua_State *L) {
  const std::string &text = ContextOf(L).Text();
  LuaClearStack(L);
  return LuaReturnInteger(L, std::int64_t(text.size()));
}

const TLineRewriter &VisibleLines(TPwlContext &host) {
  return host.CurrentLines() ? *host.CurrentLines() : host.TextLines();
}

int LineCount(lua_State *L) {
  TPwlContext &host = ContextOf(L);
  LuaClearStack(L);
  return LuaReturnInteger(L, std::int64_t(VisibleLines(host).Count()));
}

int GetChar(lua_State *L) {
  lua_Integer p = LuaCheckInteger(L, 1);
  const std::string &text = ContextOf(L).Text();
  LuaClearStack(L);
  if (p < 1 || std::uint64_t(p) > text.size())
    return LuaReturnNil(L);
  return LuaReturnByteString(L, std::string_view(&text[size_t(p - 1)], 1));
}

int GetLine(lua_State *L) {
  lua_Integer n = LuaCheckInteger(L, 1);
  TPwlContext &host = ContextOf(L);
  LuaClearStack(L);
  const TLineRewriter &lines = VisibleLines(host);
  if (n < 1 || std::uint64_t(n) > lines.Count())
    return LuaReturnNil(L);
  return LuaReturnByteString(L, lines.Line(size_t(n - 1)));
}

int InputFile(lua_State *L) {
  const TRunSettings &settings = ContextOf(L).Settings();
  LuaClearStack(L);
  return LuaReturnFileName(L, settings.InputFile);
}

int OutputFile(lua_State *L) {
  const TRunSettings &settings = ContextOf(L).Settings();
  LuaClearStack(L);
  return LuaReturnFileName(L, settings.OutputFile);
}

int ScriptFile(lua_State *L) {
  const TRunSettings &settings = ContextOf(L).Settings();
  LuaClearStack(L);
  return LuaReturnFileName(L, settings.ScriptFile);
}

int SubDirs(lua_State *L) {
  const TRunSettings &settings = ContextOf(L).Settings();
  LuaClearStack(L);
  return LuaReturnBoolean(L, settings.SubDirs);
}

int InPlace(lua_State *L) {
  const TRunSettings &settings = ContextOf(L).Settings();
  LuaClearStack(L);
  return LuaReturnBoolean(L, settings.InPlace);
}

int CreateBak(lua_State *L) {
  const TRunSettings &settings = ContextOf(L).Settings();
  LuaClearStack(L);
  return LuaReturnBoolean(L, settings.CreateBak);
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

void RegisterPwlTable(lua_State *L, TPwlContext &context) {
  lua_createtable(L, 0, int(std::size(PwlFunctions) - 1));
  lua_pushlightuserdata(L, &context);
  luaL_setfuncs(L, PwlFunctions, 1);
  lua_setglobal(L, "PWL");
}
