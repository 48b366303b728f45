#include "engine/marshalling.h"

#include <cmath>

#include "engine/lua_exceptions.h"
#include "platform/code_page.h"

std::string LuaTypeNameForError(lua_State *L, int index) {
  if (luaL_getmetafield(L, index, "__name") == LUA_TSTRING) {
    std::string name = lua_tostring(L, -1);
    lua_pop(L, 1);
    return name;
  }
  if (lua_type(L, index) == LUA_TLIGHTUSERDATA)
    return "light userdata";
  return luaL_typename(L, index);
}

namespace {

[[noreturn]] void ThrowTypeError(lua_State *L, int index, const char *expected) {
  throw EScriptError::Argument(index, std::string(expected) + " expected, got " +
                                          LuaTypeNameForError(L, index));
}

bool IsNoneOrNil(lua_State *L, int index) {
  return lua_type(L, index) <= LUA_TNIL;
}

} // namespace

TBytes LuaCheckString(lua_State *L, int index) {
  size_t length = 0;
  const char *s = lua_tolstring(L, index, &length);
  if (s == nullptr)
    ThrowTypeError(L, index, "string");
  return TBytes(s, length);
}

TBytes LuaOptString(lua_State *L, int index, TBytesView defaultValue) {
  if (IsNoneOrNil(L, index))
    return TBytes(defaultValue);
  return LuaCheckString(L, index);
}

bool LuaCheckBoolean(lua_State *L, int index) {
  if (lua_type(L, index) == LUA_TNONE)
    throw EScriptError::Argument(index, "value expected");
  int type = lua_type(L, index);
  if (type == LUA_TBOOLEAN)
    return lua_toboolean(L, index) != 0;
  return type != LUA_TNIL; // nil is false, any other value true
}

bool LuaOptBoolean(lua_State *L, int index, bool defaultValue) {
  if (lua_type(L, index) == LUA_TNONE)
    return defaultValue;
  return LuaCheckBoolean(L, index);
}

TTextList LuaCheckStringList(lua_State *L, int index) {
  if (lua_type(L, index) != LUA_TTABLE)
    throw EScriptError::Argument(index, "table expected");
  index = lua_absindex(L, index);
  TTextList list;
  lua_Unsigned count = lua_rawlen(L, index);
  list.reserve(count);
  for (lua_Unsigned i = 1; i <= count; ++i) {
    lua_rawgeti(L, index, lua_Integer(i));
    list.push_back(BytesToText(LuaCheckString(L, -1)));
    lua_pop(L, 1);
  }
  return list;
}

lua_Integer LuaCheckInteger(lua_State *L, int index) {
  int isNumber = 0;
  lua_Integer value = lua_tointegerx(L, index, &isNumber);
  if (!isNumber) {
    if (lua_isnumber(L, index))
      throw EScriptError::Argument(index, "number has no integer representation");
    ThrowTypeError(L, index, "number");
  }
  return value;
}

lua_Integer LuaOptInteger(lua_State *L, int index, lua_Integer defaultValue) {
  return IsNoneOrNil(L, index) ? defaultValue : LuaCheckInteger(L, index);
}

lua_Number LuaCheckNumber(lua_State *L, int index) {
  int isNumber = 0;
  lua_Number value = lua_tonumberx(L, index, &isNumber);
  if (!isNumber)
    ThrowTypeError(L, index, "number");
  return value;
}

lua_Number LuaOptNumber(lua_State *L, int index, lua_Number defaultValue) {
  return IsNoneOrNil(L, index) ? defaultValue : LuaCheckNumber(L, index);
}

void LuaCheckFunction(lua_State *L, int index) {
  if (lua_type(L, index) != LUA_TFUNCTION)
    throw EScriptError::Argument(index, "function expected");
}

int LuaClearStack(lua_State *L) {
  lua_settop(L, 0);
  return 0;
}

bool LuaGetGlobalTable(lua_State *L, TBytesView name) {
  std::string key(name);
  if (lua_getglobal(L, key.c_str()) == LUA_TTABLE)
    return true;
  lua_pop(L, 1);
  lua_newtable(L);
  lua_setglobal(L, key.c_str());
  if (lua_getglobal(L, key.c_str()) == LUA_TTABLE)
    return true;
  lua_pop(L, 1);
  return false;
}

void LuaSetFieldBoolean(lua_State *L, TBytesView key, bool value) {
  lua_pushlstring(L, key.data(), key.size());
  lua_pushboolean(L, value);
  lua_settable(L, -3);
}

void LuaSetFieldInteger(lua_State *L, TBytesView key, std::int64_t value) {
  lua_pushlstring(L, key.data(), key.size());
  lua_pushinteger(L, value);
  lua_settable(L, -3);
}

void LuaSetFieldString(lua_State *L, TTextView key, TTextView value) {
  LuaPushText(L, key);
  LuaPushText(L, value);
  lua_settable(L, -3);
}

void LuaPushByteString(lua_State *L, TBytesView value) {
  lua_pushlstring(L, value.data(), value.size());
}

void LuaPushText(lua_State *L, TTextView value) {
  LuaPushByteString(L, TextToBytes(value));
}

int LuaReturnBoolean(lua_State *L, bool value) {
  lua_pushboolean(L, value);
  return 1;
}

int LuaReturnInteger(lua_State *L, std::int64_t value) {
  lua_pushinteger(L, value);
  return 1;
}

int LuaReturnIntegers(lua_State *L, std::int64_t a, std::int64_t b, std::int64_t c) {
  lua_pushinteger(L, a);
  lua_pushinteger(L, b);
  lua_pushinteger(L, c);
  return 3;
}

int LuaReturnNil(lua_State *L) {
  lua_pushnil(L);
  return 1;
}

int LuaReturnNumber(lua_State *L, double value) {
  lua_pushnumber(L, value);
  return 1;
}

int LuaReturnByteString(lua_State *L, TBytesView value) {
  LuaPushByteString(L, value);
  return 1;
}

int LuaReturnText(lua_State *L, TTextView value) {
  LuaPushText(L, value);
  return 1;
}

int LuaReturnTexts(lua_State *L, TTextView first, TTextView second) {
  LuaPushText(L, first);
  LuaPushText(L, second);
  return 2;
}

int LuaReturnStringList(lua_State *L, const TTextList &list) {
  lua_createtable(L, int(list.size()), 0);
  lua_Integer key = 1;
  for (const TText &item : list) {
    LuaPushText(L, item);
    lua_rawseti(L, -2, key++);
  }
  return 1;
}

int LuaReturnNilMessage(lua_State *L, TBytesView message) {
  lua_pushnil(L);
  LuaPushByteString(L, message);
  return 2;
}

int LuaReturnNilMessageText(lua_State *L, TTextView message) {
  lua_pushnil(L);
  LuaPushText(L, message);
  return 2;
}

void LuaArgumentError(lua_State *L, int index, TBytesView message) {
  LuaClearStack(L);
  throw EScriptError::Argument(index, std::string(message));
}

TBytes LuaTypeNameOf(lua_State *L, int index) {
  return lua_typename(L, lua_type(L, index));
}

std::int64_t LuaUnixTime(DateTime value) {
  constexpr DateTime UnixEpoch = 25569.0;
  constexpr double MillisecondsPerDay = 86400000.0;
  // Rounded to whole milliseconds first, so 00:00:00.999 stays below one second.
  auto milliseconds = std::int64_t(std::llround(std::fabs(value - UnixEpoch) * MillisecondsPerDay));
  std::int64_t seconds = milliseconds / 1000;
  return value < UnixEpoch ? -seconds : seconds;
}
