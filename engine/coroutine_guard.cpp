#include "engine/coroutine_guard.h"

#include <string>

#include "engine/host_boundary.h"
#include "engine/marshalling.h"

namespace {

// Moves argumentCount values from L to co and resumes it. Returns the number of
// values moved back to L, or -1 with the error value on top of L.
int ResumeWith(lua_State *L, lua_State *co, int argumentCount) {
  if (!lua_checkstack(co, argumentCount)) {
    lua_pushstring(L, "too many arguments to resume");
    return -1;
  }
  if (lua_status(co) == LUA_OK && lua_gettop(co) == 0) {
    lua_pushstring(L, "cannot resume dead coroutine");
    return -1;
  }
  lua_xmove(L, co, argumentCount);
  int status = lua_resume(co, L, argumentCount);
  if (status != LUA_OK && status != LUA_YIELD) {
    lua_xmove(co, L, 1);
    return -1;
  }
  int results = lua_gettop(co);
  if (!lua_checkstack(L, results + 1)) {
    lua_pop(co, results);
    lua_pushstring(L, "too many results to resume");
    return -1;
  }
  lua_xmove(co, L, results);
  return results;
}

int Resume(lua_State *L) {
  lua_State *co = lua_tothread(L, 1);
  if (co == nullptr)
    throw EScriptError::Argument(1, "thread expected");
  int results = ResumeWith(L, co, lua_gettop(L) - 1);
  // The coroutine may have ended the run: this thread must not go on either.
  ThrowIfHostFailed(L);
  if (results < 0) {
    lua_pushboolean(L, 0);
    lua_insert(L, -2);
    return 2;
  }
  lua_pushboolean(L, 1);
  lua_insert(L, -(results + 1));
  return results + 1;
}

// The function that coroutine.wrap returns; upvalue 1 is its coroutine.
int ResumeWrapped(lua_State *L) {
  lua_State *co = lua_tothread(L, lua_upvalueindex(1));
  int results = ResumeWith(L, co, lua_gettop(L));
  ThrowIfHostFailed(L);
  if (results < 0) {
    if (lua_type(L, -1) == LUA_TSTRING) { // the caller's position in front, as the runtime does
      luaL_where(L, 1);
      lua_insert(L, -2);
      lua_concat(L, 2);
    }
    throw EScriptError::FromStackTop();
  }
  return results;
}

int Wrap(lua_State *L) {
  if (lua_type(L, 1) != LUA_TFUNCTION)
    throw EScriptError::Argument(1, "function expected, got " + LuaTypeNameForError(L, 1));
  lua_State *co = lua_newthread(L);
  lua_pushvalue(L, 1);
  lua_xmove(L, co, 1);
  lua_pushcclosure(L, LuaBoundary<ResumeWrapped>, 1);
  return 1;
}

} // namespace

void GuardCoroutineResumption(lua_State *L) {
  lua_getglobal(L, "coroutine");
  if (lua_type(L, -1) == LUA_TTABLE) {
    lua_pushcfunction(L, LuaBoundary<Resume>);
    lua_setfield(L, -2, "resume");
    lua_pushcfunction(L, LuaBoundary<Wrap>);
    lua_setfield(L, -2, "wrap");
  }
  lua_pop(L, 1);
}
