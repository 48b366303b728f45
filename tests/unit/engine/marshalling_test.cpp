#include "engine/marshalling.h"

#include <gtest/gtest.h>

#include "core/time/date_time.h"
#include "engine/host_boundary.h"
#include "engine/lua_engine.h"
#include "platform/code_page.h"

namespace {

// Runs code whose global f is the host function under test; returns the results
// of the chunk joined by "|".
class TMarshallingTest : public ::testing::Test {
protected:
  void SetUp() override { FLua.Open(); }

  std::string Run(lua_CFunction f, const char *code) {
    lua_State *L = FLua.LuaState();
    lua_settop(L, 0);
    lua_register(L, "f", f);
    if (luaL_loadstring(L, code) != 0 || lua_pcall(L, 0, LUA_MULTRET, 0) != 0)
      return std::string("error: ") + lua_tostring(L, -1);
    std::string out;
    for (int i = 1; i <= lua_gettop(L); ++i) {
      if (i > 1)
        out += "|";
      size_t length = 0;
      const char *s = luaL_tolstring(L, i, &length);
      out.append(s, length);
      lua_pop(L, 1);
    }
    return out;
  }

  TLua FLua;
};

int EchoString(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  LuaClearStack(L);
  return LuaReturnByteString(L, std::to_string(s.size()) + ":" + s);
}

int OptString(lua_State *L) {
  TBytes s = LuaOptString(L, 1, "default");
  LuaClearStack(L);
  return LuaReturnByteString(L, s);
}

int OptBooleans(lua_State *L) {
  bool withTrue = LuaOptBoolean(L, 1, true);
  LuaClearStack(L);
  return LuaReturnBoolean(L, withTrue);
}

int CheckBoolean(lua_State *L) {
  return LuaReturnBoolean(L, LuaCheckBoolean(L, 1));
}

int StringList(lua_State *L) {
  TTextList list = LuaCheckStringList(L, 1);
  LuaClearStack(L);
  return LuaReturnStringList(L, list);
}

int ListLength(lua_State *L) {
  TTextList list = LuaCheckStringList(L, 1);
  LuaClearStack(L);
  return LuaReturnInteger(L, std::int64_t(list.size()));
}

int Integers(lua_State *L) {
  lua_Integer a = LuaCheckInteger(L, 1);
  lua_Integer b = LuaOptInteger(L, 2, 7);
  LuaClearStack(L);
  return LuaReturnIntegers(L, a, b, a + b);
}

int ArgumentErrorWithoutMessage(lua_State *L) {
  LuaArgumentError(L, 2, "");
}

int NilMessages(lua_State *L) {
  LuaClearStack(L);
  LuaReturnNilMessage(L, "bytes");
  return LuaReturnNilMessageText(L, u"text \u00E4") + 2;
}

int GlobalTable(lua_State *L) {
  TBytes name = LuaCheckString(L, 1);
  LuaClearStack(L);
  if (!LuaGetGlobalTable(L, name))
    return LuaReturnNil(L);
  LuaSetFieldBoolean(L, "b", true);
  LuaSetFieldInteger(L, "i", 5);
  LuaSetFieldString(L, u"s", u"text");
  return 1;
}

} // namespace

TEST_F(TMarshallingTest, StringsKeepEveryByteAndNumbersTakeTheirStringForm) {
  EXPECT_EQ(Run(LuaBoundary<EchoString>, "return f('a\\0b')"), std::string("3:a\0b", 5));
  EXPECT_EQ(Run(LuaBoundary<EchoString>, "return f(12)"), "2:12");
  EXPECT_EQ(Run(LuaBoundary<EchoString>, "return f(1.5)"), "3:1.5");
  EXPECT_EQ(Run(LuaBoundary<EchoString>, "return select(2, pcall(f, {}))"),
            "bad argument #1 to 'f' (string expected, got table)");
  EXPECT_EQ(Run(LuaBoundary<EchoString>, "return select(2, pcall(f))"),
            "bad argument #1 to 'f' (string expected, got no value)");
  EXPECT_EQ(Run(LuaBoundary<OptString>, "return f(), f(nil), f('x')"), "default|default|x");
}

TEST_F(TMarshallingTest, OptionalBooleansTreatNilAsFalseAndOtherValuesAsTrue) {
  EXPECT_EQ(Run(LuaBoundary<OptBooleans>, "return f(), f(nil), f(false), f(0), f(''), f({})"),
            "true|false|false|true|true|true");
  EXPECT_EQ(Run(LuaBoundary<CheckBoolean>, "return f(nil), f(true), f('x')"), "false|true|true");
  EXPECT_EQ(Run(LuaBoundary<CheckBoolean>, "return select(2, pcall(f))"),
            "bad argument #1 to 'f' (value expected)");
}

TEST_F(TMarshallingTest, StringListsReadUpToTheRawLength) {
  EXPECT_EQ(Run(LuaBoundary<StringList>, "return table.concat(f({'a', 2, 'c'}), ',')"), "a,2,c");
  EXPECT_EQ(Run(LuaBoundary<StringList>, "return #f({})"), "0");
  // a, b, nil, d: the runtime's raw length of this constructor is 4
  EXPECT_EQ(Run(LuaBoundary<ListLength>, "return select(2, pcall(f, {'a', 'b', nil, 'd'}))"),
            "bad argument #-1 to 'f' (string expected, got nil)");
  EXPECT_EQ(Run(LuaBoundary<StringList>, "return select(2, pcall(f, 'x'))"),
            "bad argument #1 to 'f' (table expected)");
  EXPECT_EQ(Run(LuaBoundary<ListLength>,
                "return f(setmetatable({'a'}, {__len = function() return 10 end}))"),
            "1");
}

TEST_F(TMarshallingTest, IntegersUseTheRuntimeMessages) {
  EXPECT_EQ(Run(LuaBoundary<Integers>, "return f(1), f(2, 3), f('4')"), "1|2|4|7|11");
  EXPECT_EQ(Run(LuaBoundary<Integers>, "return f(2, 3)"), "2|3|5");
  EXPECT_EQ(Run(LuaBoundary<Integers>, "return select(2, pcall(f, 1.5))"),
            "bad argument #1 to 'f' (number has no integer representation)");
  EXPECT_EQ(Run(LuaBoundary<Integers>, "return select(2, pcall(f, 'x'))"),
            "bad argument #1 to 'f' (number expected, got string)");
}

TEST_F(TMarshallingTest, ArgumentErrorWithoutMessageSaysWrongOrMissingParameter) {
  EXPECT_EQ(Run(LuaBoundary<ArgumentErrorWithoutMessage>, "return select(2, pcall(f, 1, 2, 3))"),
            "bad argument #2 to 'f' (wrong or missing parameter)");
}

TEST_F(TMarshallingTest, ReturnRoutinesPushNilAndMessages) {
  // The message's "ä" reaches the script in the ANSI code page.
  EXPECT_EQ(Run(LuaBoundary<NilMessages>, "return f()"), "nil|bytes|nil|text " + TextToBytes(u"\u00E4"));
}

TEST_F(TMarshallingTest, GlobalTableIsCreatedWhenMissingOrNotATable) {
  EXPECT_EQ(Run(LuaBoundary<GlobalTable>,
                "notatable = 5 local t = f('notatable') return t == notatable, t.b, t.i, t.s"),
            "true|true|5|text");
  EXPECT_EQ(Run(LuaBoundary<GlobalTable>, "local t = f('string') return t.b, t.format ~= nil"),
            "true|true");
}

TEST(LuaUnixTime, CountsWholeSecondsFromTheEpochInBothDirections) {
  EXPECT_EQ(LuaUnixTime(EncodeDateTime(1970, 1, 2, 0, 0, 0)), 86400);
  EXPECT_EQ(LuaUnixTime(EncodeDateTime(1969, 12, 31, 0, 0, 0)), -86400);
  EXPECT_EQ(LuaUnixTime(25569.0 + 0.999 / 86400.0), 0);
  EXPECT_EQ(LuaUnixTime(EncodeDateTime(2000, 1, 1, 12, 30, 15)), 946729815);
}

TEST(LuaTypeName, NamesTheRuntimeTypes) {
  TLua lua;
  lua.Open();
  lua_State *L = lua.LuaState();
  lua_pushnil(L);
  lua_pushinteger(L, 1);
  lua_newtable(L);
  EXPECT_EQ(LuaTypeNameOf(L, -1), "table");
  EXPECT_EQ(LuaTypeNameOf(L, -2), "number");
  EXPECT_EQ(LuaTypeNameOf(L, -3), "nil");
}
