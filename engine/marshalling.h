// How host functions read their arguments and return their results. Every check
// that fails throws EScriptError; the host-function boundary raises it in the
// runtime with the runtime's own wording ("bad argument #n to 'f' (...)"), so no
// longjmp ever crosses a C++ frame that owns objects.
#pragma once

#include <cstdint>

#include "core/text/text.h"
#include "core/time/date_time.h"
#include "engine/lua_api.h"

// Reading arguments (index = argument position, 1-based).
TBytes LuaCheckString(lua_State *L, int index);
TBytes LuaOptString(lua_State *L, int index, TBytesView defaultValue);
bool LuaCheckBoolean(lua_State *L, int index);
bool LuaOptBoolean(lua_State *L, int index, bool defaultValue);
TTextList LuaCheckStringList(lua_State *L, int index);
// The runtime's integer and number checks, with the runtime's messages.
lua_Integer LuaCheckInteger(lua_State *L, int index);
lua_Integer LuaOptInteger(lua_State *L, int index, lua_Integer defaultValue);
lua_Number LuaCheckNumber(lua_State *L, int index);
lua_Number LuaOptNumber(lua_State *L, int index, lua_Number defaultValue);
// The argument must be a function.
void LuaCheckFunction(lua_State *L, int index);

// Stack and tables.
int LuaClearStack(lua_State *L);
bool LuaGetGlobalTable(lua_State *L, TBytesView name);
void LuaSetFieldBoolean(lua_State *L, TBytesView key, bool value);
void LuaSetFieldInteger(lua_State *L, TBytesView key, std::int64_t value);
void LuaSetFieldString(lua_State *L, TTextView key, TTextView value);
void LuaPushByteString(lua_State *L, TBytesView value);
void LuaPushText(lua_State *L, TTextView value);

// Returning results: each pushes its values and returns their count.
int LuaReturnBoolean(lua_State *L, bool value);
int LuaReturnInteger(lua_State *L, std::int64_t value);
int LuaReturnIntegers(lua_State *L, std::int64_t a, std::int64_t b, std::int64_t c);
int LuaReturnNil(lua_State *L);
int LuaReturnNumber(lua_State *L, double value);
int LuaReturnByteString(lua_State *L, TBytesView value);
int LuaReturnText(lua_State *L, TTextView value);
int LuaReturnTexts(lua_State *L, TTextView first, TTextView second);
int LuaReturnStringList(lua_State *L, const TTextList &list);
int LuaReturnNilMessage(lua_State *L, TBytesView message);
int LuaReturnNilMessageText(lua_State *L, TTextView message);

// Clears the stack and raises the argument error (an empty message gives
// "wrong or missing parameter").
[[noreturn]] void LuaArgumentError(lua_State *L, int index, TBytesView message);

// The runtime's type name of the value at index.
TBytes LuaTypeNameOf(lua_State *L, int index);
// The type name the runtime's own argument errors give ("X expected, got Y"):
// a metatable's __name first, and "light userdata" for that kind.
std::string LuaTypeNameForError(lua_State *L, int index);

// Whole seconds from 1970-01-01 00:00 to the given local date-time.
std::int64_t LuaUnixTime(DateTime value);
