#include "engine/lua_engine.h"

#include <gtest/gtest.h>

#include "engine/host_boundary.h"
#include "engine/lua_exceptions.h"
#include "tests/support/process_runner.h"

namespace {

// An engine whose printed lines are collected.
class TCapturingLua : public TLua {
public:
  TCapturingLua() {
    SetOnPrint([this](const TText &msg) { Lines.push_back(msg); });
  }
  std::vector<TText> Lines;
};

std::string TopString(lua_State *L) {
  size_t len = 0;
  const char *s = lua_tolstring(L, -1, &len);
  return s ? std::string(s, len) : std::string("<not a string>");
}

int ThrowingHostFunction(lua_State *) {
  throw std::runtime_error("disk on fire");
}
int ArgumentErrorFunction(lua_State *) {
  throw EScriptError::Argument(2, "table expected");
}

void Register(TLua &lua, const char *name, lua_CFunction f) {
  lua_register(lua.LuaState(), name, f);
}

} // namespace

TEST(LuaEngine, OpenTwiceOpensOnceAndReopenGivesFreshGlobals) {
  TCapturingLua lua;
  EXPECT_FALSE(lua.Opened());
  lua.Open();
  lua_State *first = lua.LuaState();
  ASSERT_EQ(lua.DoString(u"marker = 42"), 0);
  lua.Open();
  EXPECT_EQ(lua.LuaState(), first);
  lua.Close();
  EXPECT_FALSE(lua.Opened());
  lua.Open();
  ASSERT_EQ(lua.DoString(u"return marker"), 0);
  EXPECT_TRUE(lua_isnil(lua.LuaState(), -1));
}

TEST(LuaEngine, OpenLeavesThePrintNameOnTheStack) {
  TCapturingLua lua;
  lua.Open();
  ASSERT_EQ(lua_gettop(lua.LuaState()), 1);
  EXPECT_EQ(TopString(lua.LuaState()), "print");
}

TEST(LuaEngine, StandardLibrariesIncludingBit32AreOpen) {
  TCapturingLua lua;
  ASSERT_EQ(lua.DoString(u"return bit32.band(6, 3), utf8.char(228), type(debug.traceback)"), 0);
  lua_State *L = lua.LuaState();
  EXPECT_EQ(lua_tointeger(L, -3), 2);
  EXPECT_EQ(std::string(lua_tostring(L, -2)), "\xC3\xA4");
  EXPECT_EQ(TopString(L), "function");
}

TEST(LuaEnginePrint, JoinsArgumentsWithTabsAndPrintsEmptyLineWithoutArguments) {
  TCapturingLua lua;
  ASSERT_EQ(lua.DoString(u"print() print(1, nil, true) print('a\\0b', 2.5)"), 0);
  ASSERT_EQ(lua.Lines.size(), 3u);
  EXPECT_EQ(lua.Lines[0], u"");
  EXPECT_EQ(lua.Lines[1], u"1\tnil\ttrue");
  EXPECT_EQ(lua.Lines[2], u"a\t2.5"); // an embedded zero byte ends the value
}

TEST(LuaEnginePrint, ReplacedTostringMustReturnStringOrNumber) {
  struct {
    const char16_t *code;
    int status;
    const char *message; // expected error text, or expected printed line when status is 0
  } cases[] = {
      {u"tostring = function() return {} end print(1)", LUA_ERRRUN,
       "\"tostring\" must return a string to \"print\""},
      {u"tostring = function() return nil end print(1)", LUA_ERRRUN,
       "\"tostring\" must return a string to \"print\""},
      {u"tostring = function() return 7 end print('x')", 0, "7"},
      {u"print(setmetatable({}, {__tostring = function() error('boom', 0) end}))", LUA_ERRRUN,
       "boom"},
  };
  for (const auto &c : cases) {
    TCapturingLua lua;
    int status = lua.DoString(c.code);
    EXPECT_EQ(status, c.status) << c.message;
    if (status != 0) // the runtime puts the caller's position in front, as for any luaL_error
      EXPECT_TRUE(TopString(lua.LuaState()).ends_with(c.message)) << TopString(lua.LuaState());
    else
      EXPECT_EQ(lua.Lines.at(0), AsciiText(c.message));
  }
}

TEST(LuaEnginePrint, ErrorInTostringCanBeCaughtByPcall) {
  TCapturingLua lua;
  ASSERT_EQ(
      lua.DoString(u"local t = setmetatable({}, {__tostring = function() error({code=5}) end})\n"
                   u"local ok, e = pcall(print, t) return ok, e.code"),
      0);
  EXPECT_FALSE(lua_toboolean(lua.LuaState(), -2));
  EXPECT_EQ(lua_tointeger(lua.LuaState(), -1), 5);
}

TEST(LuaEnginePrint, WithoutHandlerWritesLinesToStandardOutput) {
  TLua lua;
  testing::internal::CaptureStdout();
  // CaptureStdout redirects file descriptor 1, which is what the engine writes to.
  ASSERT_EQ(lua.DoString(u"print('one', 2) print()"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "one\t2\n\n");
}

TEST(LuaEngineRun, DoStringKeepsResultsAndDoFileDropsThem) {
  TTempDir dir;
  std::string file = dir.Write("ret.lua", "return 1, 2, 3");
  TCapturingLua lua;
  ASSERT_EQ(lua.DoString(u"return 1, 2, 3"), 0);
  int afterString = lua_gettop(lua.LuaState());
  ASSERT_EQ(lua.DoFile(AsciiText(file)), 0);
  EXPECT_EQ(lua_gettop(lua.LuaState()), afterString);
  EXPECT_EQ(afterString, 1 + 3); // the "print" name from Open plus three results
}

TEST(LuaEngineRun, DoFileUsesFilePathPrefixAndReportsLoadErrors) {
  TTempDir dir;
  dir.Write("syntax.lua", "x = = 1");
  dir.Write("ok.lua", "loaded = true");
  TCapturingLua lua;
  lua.SetFilePath(AsciiText(dir.Path() + "/"));
  EXPECT_EQ(lua.DoFile(u"missing.lua"), LUA_ERRFILE);
  EXPECT_NE(TopString(lua.LuaState()).find("missing.lua"), std::string::npos);
  EXPECT_EQ(lua.DoFile(u"syntax.lua"), LUA_ERRSYNTAX);
  EXPECT_EQ(lua.DoFile(u"ok.lua"), 0);
}

TEST(LuaEngineRun, DoCallAddsTracebackAndNamesNonStringErrorObjects) {
  TCapturingLua lua;
  lua.Open();
  lua_State *L = lua.LuaState();
  ASSERT_EQ(luaL_loadstring(L, "error({})"), 0);
  ASSERT_EQ(lua.Run(), LUA_ERRRUN);
  std::string message = TopString(L);
  EXPECT_EQ(message.rfind("(error object is a table value)\nstack traceback:", 0), 0u) << message;

  ASSERT_EQ(luaL_loadstring(L, "error(setmetatable({}, {__tostring = function() return 'T' end}))"),
            0);
  ASSERT_EQ(lua.DoChunk(L, 0), LUA_ERRRUN);
  EXPECT_EQ(TopString(L), "T"); // __tostring result, without traceback

  EXPECT_EQ(lua.DoChunk(L, LUA_ERRSYNTAX), LUA_ERRSYNTAX); // a load status passes through
}

TEST(LuaEngineRegistration, PublishedMethodsAreFoundByNameIncludingBases) {
  TCapturingLua lua;
  lua.Open();
  lua.RegisterFunction(u"print", u"say");
  ASSERT_EQ(lua.DoString(u"say('hello')"), 0);
  EXPECT_EQ(lua.Lines.at(0), u"hello");
  EXPECT_THROW(lua.RegisterFunction(u"nosuchmethod"), ELuaError);
  EXPECT_THROW(lua.RegisterFunction(TLua::StaticClass(), u"print"), ELuaError); // needs an object
  ASSERT_EQ(lua.DoString(u"return nosuchmethod"), 0);
  EXPECT_TRUE(lua_isnil(lua.LuaState(), -1));
}

TEST(LuaEngineRegistration, PackagesAreAvailableToRequire) {
  TCapturingLua lua;
  lua.Open();
  lua.RegisterPackage(u"answer", [](lua_State *L) {
    lua_pushinteger(L, 42);
    return 1;
  });
  ASSERT_EQ(lua.DoString(u"return require('answer')"), 0);
  EXPECT_EQ(lua_tointeger(lua.LuaState(), -1), 42);
}

TEST(LuaEngineBoundary, ScriptErrorsFromHostCodeAreCatchableArgumentErrors) {
  TCapturingLua lua;
  lua.Open();
  Register(lua, "f", LuaBoundary<ArgumentErrorFunction>);
  ASSERT_EQ(lua.DoString(u"local ok, e = pcall(f) return e"), 0);
  EXPECT_EQ(TopString(lua.LuaState()), "bad argument #2 to 'f' (table expected)");
  ASSERT_EQ(lua.DoString(u"return select(2, pcall(function() f() end))"), 0);
  EXPECT_EQ(TopString(lua.LuaState()),
            "[string \"return select(2, pcall(function() f() end))\"]:1: "
            "bad argument #2 to 'f' (table expected)");
}

TEST(LuaEngineBoundary, HostFailurePassesThroughPcallAndCoroutines) {
  const char16_t *scripts[] = {
      u"pcall(fail) reached = true",
      u"xpcall(fail, function(m) return m end) reached = true",
      u"local co = coroutine.create(function() fail() end) coroutine.resume(co) reached = true",
      u"local f = coroutine.wrap(function() pcall(fail) end) pcall(f) reached = true",
      u"table.sort({3, 2, 1}, function(a, b) fail() end) reached = true",
      u"for i = 1, 3 do pcall(fail) end reached = true",
      // a coroutine that did not fail gets control back and clears the main thread's hook
      u"local main = coroutine.running() coroutine.wrap(function() pcall(coroutine.wrap(fail)) "
      u"debug.sethook(main) end)() reached = true",
      u"local main = coroutine.running() local co = coroutine.create(function() "
      u"coroutine.resume(coroutine.create(fail)) debug.sethook(main, function() end, 'c') end) "
      u"coroutine.resume(co) reached = true",
  };
  for (const char16_t *script : scripts) {
    TCapturingLua lua;
    lua.Open();
    Register(lua, "fail", LuaBoundary<ThrowingHostFunction>);
    lua_State *L = lua.LuaState();
    std::string code = std::string(script, script + std::char_traits<char16_t>::length(script));
    ASSERT_EQ(luaL_loadstring(L, code.c_str()), 0);
    EXPECT_NE(lua.Run(), 0) << code;
    EXPECT_TRUE(lua.HostFailed()) << code;
    EXPECT_EQ(lua.HostFailure(), "disk on fire");
    lua_getglobal(L, "reached");
    EXPECT_TRUE(lua_isnil(L, -1)) << code;
  }
}

namespace {

int Collected = 0;
int Counted = 0;
int CountCollect(lua_State *) {
  ++Collected;
  return 0;
}
int CountCall(lua_State *) {
  ++Counted;
  return 0;
}

} // namespace

TEST(LuaEngineBoundary, AfterAHostFailureOnlyHostFinalisersStillRun) {
  Collected = Counted = 0;
  TCapturingLua lua;
  lua.Open();
  Register(lua, "fail", LuaBoundary<ThrowingHostFunction>);
  Register(lua, "count", LuaBoundary<CountCall>);
  lua_State *L = lua.LuaState();
  // A host object whose finaliser releases it, held until the state closes.
  lua_newuserdata(L, 1);
  lua_createtable(L, 0, 1);
  lua_pushcfunction(L, LuaBoundary<CountCollect>);
  lua_setfield(L, -2, "__gc");
  lua_setmetatable(L, -2);
  lua_setglobal(L, "held");
  ASSERT_NE(lua.DoString(u"setmetatable({}, {__gc = function() count() end}) fail()"), 0);
  lua.Close();
  EXPECT_EQ(Collected, 1);
  EXPECT_EQ(Counted, 0);
}

namespace {

// An engine class that publishes an instance method and a class-level function.
class TPublishingLua : public TCapturingLua {
public:
  static const TLuaClass &StaticClass() {
    static const TLuaClass info{
        "TPublishingLua",
        &TLua::StaticClass(),
        {{"counter", static_cast<TLuaMethod>(&TPublishingLua::Counter), nullptr},
         {"answer", nullptr, LuaBoundary<Answer>}}};
    return info;
  }
  const TLuaClass &ClassInfo() const override { return StaticClass(); }

  int Counter(lua_State *L) {
    lua_pushinteger(L, ++FCount);
    return 1;
  }
  static int Answer(lua_State *L) {
    lua_pushinteger(L, 42);
    return 1;
  }

private:
  int FCount = 0;
};

} // namespace

TEST(LuaEngineRegistration, InstanceAndClassMethodsBecomeGlobals) {
  TPublishingLua lua;
  lua.Open();
  lua.RegisterFunction(u"counter");                               // own object, own name
  lua.RegisterFunction(lua, u"counter", u"next");                 // object, other name
  lua.RegisterFunction(TPublishingLua::StaticClass(), u"answer"); // class, plain function
  TLua::RegisterClassFunction(lua.LuaState(), lua, u"answer", u"classAnswer");
  EXPECT_THROW(lua.RegisterFunction(TPublishingLua::StaticClass(), u"print", u"p2"), ELuaError);
  EXPECT_THROW(TLua::RegisterClassFunction(lua.LuaState(), lua, u"counter", u"c"), ELuaError);
  ASSERT_EQ(lua.DoString(u"return counter(), next(), counter(), answer(), classAnswer()"), 0);
  lua_State *L = lua.LuaState();
  EXPECT_EQ(lua_tointeger(L, -5), 1);
  EXPECT_EQ(lua_tointeger(L, -4), 2);
  EXPECT_EQ(lua_tointeger(L, -3), 3);
  EXPECT_EQ(lua_tointeger(L, -2), 42);
  EXPECT_EQ(lua_tointeger(L, -1), 42);
}

TEST(LuaEngineRegistration, MethodPackageRunsThePublishedMethodAsLoader) {
  TPublishingLua lua;
  lua.Open();
  const TPublishedMethod *counter = lua.ClassInfo().FindMethod("counter");
  ASSERT_NE(counter, nullptr);
  TLua::RegisterMethodPackage(lua.LuaState(), &lua, counter, u"counted");
  ASSERT_EQ(lua.DoString(u"return require('counted'), require('counted')"), 0);
  EXPECT_EQ(lua_tointeger(lua.LuaState(), -1), 1); // the loader ran once; require caches it
  EXPECT_EQ(lua_tointeger(lua.LuaState(), -2), 1);
}
