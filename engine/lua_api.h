// The Lua runtime's entry points as the engine calls them: through one
// process-wide table that the runtime binding fills from the mapped image.
// The program is not linked against the runtime, so every API name below is
// redirected to its slot; the runtime's own macros (lua_pop, lua_pcall,
// luaL_checkstring ...) expand to these names and so go through the table too.
// A name missing from this list is an undefined reference at link time.
#pragma once

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

// The required entry points, in binding order.
#define REDEVUVO_LUA_ENTRY_POINTS(X)                                                               \
  X(lua_newstate)                                                                                  \
  X(lua_close)                                                                                     \
  X(lua_newthread)                                                                                 \
  X(lua_atpanic)                                                                                   \
  X(lua_version)                                                                                   \
  X(lua_absindex)                                                                                  \
  X(lua_gettop)                                                                                    \
  X(lua_settop)                                                                                    \
  X(lua_pushvalue)                                                                                 \
  X(lua_rotate)                                                                                    \
  X(lua_copy)                                                                                      \
  X(lua_checkstack)                                                                                \
  X(lua_xmove)                                                                                     \
  X(lua_isnumber)                                                                                  \
  X(lua_isstring)                                                                                  \
  X(lua_iscfunction)                                                                               \
  X(lua_isinteger)                                                                                 \
  X(lua_isuserdata)                                                                                \
  X(lua_type)                                                                                      \
  X(lua_typename)                                                                                  \
  X(lua_tonumberx)                                                                                 \
  X(lua_tointegerx)                                                                                \
  X(lua_toboolean)                                                                                 \
  X(lua_tolstring)                                                                                 \
  X(lua_rawlen)                                                                                    \
  X(lua_tocfunction)                                                                               \
  X(lua_touserdata)                                                                                \
  X(lua_tothread)                                                                                  \
  X(lua_topointer)                                                                                 \
  X(lua_arith)                                                                                     \
  X(lua_rawequal)                                                                                  \
  X(lua_compare)                                                                                   \
  X(lua_pushnil)                                                                                   \
  X(lua_pushnumber)                                                                                \
  X(lua_pushinteger)                                                                               \
  X(lua_pushlstring)                                                                               \
  X(lua_pushstring)                                                                                \
  X(lua_pushvfstring)                                                                              \
  X(lua_pushfstring)                                                                               \
  X(lua_pushcclosure)                                                                              \
  X(lua_pushboolean)                                                                               \
  X(lua_pushlightuserdata)                                                                         \
  X(lua_pushthread)                                                                                \
  X(lua_getglobal)                                                                                 \
  X(lua_gettable)                                                                                  \
  X(lua_getfield)                                                                                  \
  X(lua_geti)                                                                                      \
  X(lua_rawget)                                                                                    \
  X(lua_rawgeti)                                                                                   \
  X(lua_rawgetp)                                                                                   \
  X(lua_createtable)                                                                               \
  X(lua_newuserdata)                                                                               \
  X(lua_getmetatable)                                                                              \
  X(lua_getuservalue)                                                                              \
  X(lua_setglobal)                                                                                 \
  X(lua_settable)                                                                                  \
  X(lua_setfield)                                                                                  \
  X(lua_seti)                                                                                      \
  X(lua_rawset)                                                                                    \
  X(lua_rawseti)                                                                                   \
  X(lua_rawsetp)                                                                                   \
  X(lua_setmetatable)                                                                              \
  X(lua_setuservalue)                                                                              \
  X(lua_callk)                                                                                     \
  X(lua_pcallk)                                                                                    \
  X(lua_load)                                                                                      \
  X(lua_dump)                                                                                      \
  X(lua_yieldk)                                                                                    \
  X(lua_resume)                                                                                    \
  X(lua_status)                                                                                    \
  X(lua_isyieldable)                                                                               \
  X(lua_gc)                                                                                        \
  X(lua_error)                                                                                     \
  X(lua_next)                                                                                      \
  X(lua_concat)                                                                                    \
  X(lua_len)                                                                                       \
  X(lua_stringtonumber)                                                                            \
  X(lua_getallocf)                                                                                 \
  X(lua_setallocf)                                                                                 \
  X(lua_getstack)                                                                                  \
  X(lua_getinfo)                                                                                   \
  X(lua_getlocal)                                                                                  \
  X(lua_setlocal)                                                                                  \
  X(lua_getupvalue)                                                                                \
  X(lua_setupvalue)                                                                                \
  X(lua_upvalueid)                                                                                 \
  X(lua_upvaluejoin)                                                                               \
  X(lua_sethook)                                                                                   \
  X(lua_gethook)                                                                                   \
  X(lua_gethookmask)                                                                               \
  X(lua_gethookcount)                                                                              \
  X(luaopen_base)                                                                                  \
  X(luaopen_coroutine)                                                                             \
  X(luaopen_table)                                                                                 \
  X(luaopen_io)                                                                                    \
  X(luaopen_os)                                                                                    \
  X(luaopen_string)                                                                                \
  X(luaopen_utf8)                                                                                  \
  X(luaopen_bit32)                                                                                 \
  X(luaopen_math)                                                                                  \
  X(luaopen_debug)                                                                                 \
  X(luaopen_package)                                                                               \
  X(luaL_openlibs)                                                                                 \
  X(luaL_checkversion_)                                                                            \
  X(luaL_getmetafield)                                                                             \
  X(luaL_callmeta)                                                                                 \
  X(luaL_tolstring)                                                                                \
  X(luaL_argerror)                                                                                 \
  X(luaL_checklstring)                                                                             \
  X(luaL_optlstring)                                                                               \
  X(luaL_checknumber)                                                                              \
  X(luaL_optnumber)                                                                                \
  X(luaL_checkinteger)                                                                             \
  X(luaL_optinteger)                                                                               \
  X(luaL_checkstack)                                                                               \
  X(luaL_checktype)                                                                                \
  X(luaL_checkany)                                                                                 \
  X(luaL_newmetatable)                                                                             \
  X(luaL_setmetatable)                                                                             \
  X(luaL_testudata)                                                                                \
  X(luaL_checkudata)                                                                               \
  X(luaL_where)                                                                                    \
  X(luaL_error)                                                                                    \
  X(luaL_checkoption)                                                                              \
  X(luaL_fileresult)                                                                               \
  X(luaL_execresult)                                                                               \
  X(luaL_ref)                                                                                      \
  X(luaL_unref)                                                                                    \
  X(luaL_loadfilex)                                                                                \
  X(luaL_loadbufferx)                                                                              \
  X(luaL_loadstring)                                                                               \
  X(luaL_newstate)                                                                                 \
  X(luaL_len)                                                                                      \
  X(luaL_gsub)                                                                                     \
  X(luaL_setfuncs)                                                                                 \
  X(luaL_getsubtable)                                                                              \
  X(luaL_traceback)                                                                                \
  X(luaL_requiref)

struct TLuaEntryPoints {
#define REDEVUVO_LUA_SLOT(name) decltype(&::name) name = nullptr;
  REDEVUVO_LUA_ENTRY_POINTS(REDEVUVO_LUA_SLOT)
#undef REDEVUVO_LUA_SLOT
};

inline constexpr int LuaEntryPointCount = 0
#define REDEVUVO_LUA_COUNT(name) +1
    REDEVUVO_LUA_ENTRY_POINTS(REDEVUVO_LUA_COUNT)
#undef REDEVUVO_LUA_COUNT
    ;

// Filled by the runtime binding; read by every call below.
extern TLuaEntryPoints LuaApi;

// Name and slot of every entry point, for the binding (the names are redirected
// below, so the slots must be reached here, before that).
struct TLuaEntryPointSlot {
  const char *Name;
  void **Slot;
};

inline const TLuaEntryPointSlot *LuaEntryPointSlots() {
  static const TLuaEntryPointSlot slots[] = {
#define REDEVUVO_LUA_NAMED_SLOT(name) {#name, reinterpret_cast<void **>(&LuaApi.name)},
      REDEVUVO_LUA_ENTRY_POINTS(REDEVUVO_LUA_NAMED_SLOT)
#undef REDEVUVO_LUA_NAMED_SLOT
  };
  return slots;
}

// Redirect each API name to its slot in the table.
#define lua_newstate (LuaApi.lua_newstate)
#define lua_close (LuaApi.lua_close)
#define lua_newthread (LuaApi.lua_newthread)
#define lua_atpanic (LuaApi.lua_atpanic)
#define lua_version (LuaApi.lua_version)
#define lua_absindex (LuaApi.lua_absindex)
#define lua_gettop (LuaApi.lua_gettop)
#define lua_settop (LuaApi.lua_settop)
#define lua_pushvalue (LuaApi.lua_pushvalue)
#define lua_rotate (LuaApi.lua_rotate)
#define lua_copy (LuaApi.lua_copy)
#define lua_checkstack (LuaApi.lua_checkstack)
#define lua_xmove (LuaApi.lua_xmove)
#define lua_isnumber (LuaApi.lua_isnumber)
#define lua_isstring (LuaApi.lua_isstring)
#define lua_iscfunction (LuaApi.lua_iscfunction)
#define lua_isinteger (LuaApi.lua_isinteger)
#define lua_isuserdata (LuaApi.lua_isuserdata)
#define lua_type (LuaApi.lua_type)
#define lua_typename (LuaApi.lua_typename)
#define lua_tonumberx (LuaApi.lua_tonumberx)
#define lua_tointegerx (LuaApi.lua_tointegerx)
#define lua_toboolean (LuaApi.lua_toboolean)
#define lua_tolstring (LuaApi.lua_tolstring)
#define lua_rawlen (LuaApi.lua_rawlen)
#define lua_tocfunction (LuaApi.lua_tocfunction)
#define lua_touserdata (LuaApi.lua_touserdata)
#define lua_tothread (LuaApi.lua_tothread)
#define lua_topointer (LuaApi.lua_topointer)
#define lua_arith (LuaApi.lua_arith)
#define lua_rawequal (LuaApi.lua_rawequal)
#define lua_compare (LuaApi.lua_compare)
#define lua_pushnil (LuaApi.lua_pushnil)
#define lua_pushnumber (LuaApi.lua_pushnumber)
#define lua_pushinteger (LuaApi.lua_pushinteger)
#define lua_pushlstring (LuaApi.lua_pushlstring)
#define lua_pushstring (LuaApi.lua_pushstring)
#define lua_pushvfstring (LuaApi.lua_pushvfstring)
#define lua_pushfstring (LuaApi.lua_pushfstring)
#define lua_pushcclosure (LuaApi.lua_pushcclosure)
#define lua_pushboolean (LuaApi.lua_pushboolean)
#define lua_pushlightuserdata (LuaApi.lua_pushlightuserdata)
#define lua_pushthread (LuaApi.lua_pushthread)
#define lua_getglobal (LuaApi.lua_getglobal)
#define lua_gettable (LuaApi.lua_gettable)
#define lua_getfield (LuaApi.lua_getfield)
#define lua_geti (LuaApi.lua_geti)
#define lua_rawget (LuaApi.lua_rawget)
#define lua_rawgeti (LuaApi.lua_rawgeti)
#define lua_rawgetp (LuaApi.lua_rawgetp)
#define lua_createtable (LuaApi.lua_createtable)
#define lua_newuserdata (LuaApi.lua_newuserdata)
#define lua_getmetatable (LuaApi.lua_getmetatable)
#define lua_getuservalue (LuaApi.lua_getuservalue)
#define lua_setglobal (LuaApi.lua_setglobal)
#define lua_settable (LuaApi.lua_settable)
#define lua_setfield (LuaApi.lua_setfield)
#define lua_seti (LuaApi.lua_seti)
#define lua_rawset (LuaApi.lua_rawset)
#define lua_rawseti (LuaApi.lua_rawseti)
#define lua_rawsetp (LuaApi.lua_rawsetp)
#define lua_setmetatable (LuaApi.lua_setmetatable)
#define lua_setuservalue (LuaApi.lua_setuservalue)
#define lua_callk (LuaApi.lua_callk)
#define lua_pcallk (LuaApi.lua_pcallk)
#define lua_load (LuaApi.lua_load)
#define lua_dump (LuaApi.lua_dump)
#define lua_yieldk (LuaApi.lua_yieldk)
#define lua_resume (LuaApi.lua_resume)
#define lua_status (LuaApi.lua_status)
#define lua_isyieldable (LuaApi.lua_isyieldable)
#define lua_gc (LuaApi.lua_gc)
#define lua_error (LuaApi.lua_error)
#define lua_next (LuaApi.lua_next)
#define lua_concat (LuaApi.lua_concat)
#define lua_len (LuaApi.lua_len)
#define lua_stringtonumber (LuaApi.lua_stringtonumber)
#define lua_getallocf (LuaApi.lua_getallocf)
#define lua_setallocf (LuaApi.lua_setallocf)
#define lua_getstack (LuaApi.lua_getstack)
#define lua_getinfo (LuaApi.lua_getinfo)
#define lua_getlocal (LuaApi.lua_getlocal)
#define lua_setlocal (LuaApi.lua_setlocal)
#define lua_getupvalue (LuaApi.lua_getupvalue)
#define lua_setupvalue (LuaApi.lua_setupvalue)
#define lua_upvalueid (LuaApi.lua_upvalueid)
#define lua_upvaluejoin (LuaApi.lua_upvaluejoin)
#define lua_sethook (LuaApi.lua_sethook)
#define lua_gethook (LuaApi.lua_gethook)
#define lua_gethookmask (LuaApi.lua_gethookmask)
#define lua_gethookcount (LuaApi.lua_gethookcount)
#define luaopen_base (LuaApi.luaopen_base)
#define luaopen_coroutine (LuaApi.luaopen_coroutine)
#define luaopen_table (LuaApi.luaopen_table)
#define luaopen_io (LuaApi.luaopen_io)
#define luaopen_os (LuaApi.luaopen_os)
#define luaopen_string (LuaApi.luaopen_string)
#define luaopen_utf8 (LuaApi.luaopen_utf8)
#define luaopen_bit32 (LuaApi.luaopen_bit32)
#define luaopen_math (LuaApi.luaopen_math)
#define luaopen_debug (LuaApi.luaopen_debug)
#define luaopen_package (LuaApi.luaopen_package)
#define luaL_openlibs (LuaApi.luaL_openlibs)
#define luaL_checkversion_ (LuaApi.luaL_checkversion_)
#define luaL_getmetafield (LuaApi.luaL_getmetafield)
#define luaL_callmeta (LuaApi.luaL_callmeta)
#define luaL_tolstring (LuaApi.luaL_tolstring)
#define luaL_argerror (LuaApi.luaL_argerror)
#define luaL_checklstring (LuaApi.luaL_checklstring)
#define luaL_optlstring (LuaApi.luaL_optlstring)
#define luaL_checknumber (LuaApi.luaL_checknumber)
#define luaL_optnumber (LuaApi.luaL_optnumber)
#define luaL_checkinteger (LuaApi.luaL_checkinteger)
#define luaL_optinteger (LuaApi.luaL_optinteger)
#define luaL_checkstack (LuaApi.luaL_checkstack)
#define luaL_checktype (LuaApi.luaL_checktype)
#define luaL_checkany (LuaApi.luaL_checkany)
#define luaL_newmetatable (LuaApi.luaL_newmetatable)
#define luaL_setmetatable (LuaApi.luaL_setmetatable)
#define luaL_testudata (LuaApi.luaL_testudata)
#define luaL_checkudata (LuaApi.luaL_checkudata)
#define luaL_where (LuaApi.luaL_where)
#define luaL_error (LuaApi.luaL_error)
#define luaL_checkoption (LuaApi.luaL_checkoption)
#define luaL_fileresult (LuaApi.luaL_fileresult)
#define luaL_execresult (LuaApi.luaL_execresult)
#define luaL_ref (LuaApi.luaL_ref)
#define luaL_unref (LuaApi.luaL_unref)
#define luaL_loadfilex (LuaApi.luaL_loadfilex)
#define luaL_loadbufferx (LuaApi.luaL_loadbufferx)
#define luaL_loadstring (LuaApi.luaL_loadstring)
#define luaL_newstate (LuaApi.luaL_newstate)
#define luaL_len (LuaApi.luaL_len)
#define luaL_gsub (LuaApi.luaL_gsub)
#define luaL_setfuncs (LuaApi.luaL_setfuncs)
#define luaL_getsubtable (LuaApi.luaL_getsubtable)
#define luaL_traceback (LuaApi.luaL_traceback)
#define luaL_requiref (LuaApi.luaL_requiref)
