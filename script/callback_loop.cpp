#include "script/callback_loop.h"

#include <algorithm>

#include "engine/host_boundary.h"
#include "engine/lua_engine.h"
#include "platform/code_page.h"

void TCallbackLoop::Run(lua_State *L, int callbackIndex, const char *functionName, int itemsIndex) {
  while (!AtEnd() && !FFailure) {
    lua_pushcfunction(L, RunUnprotected);
    lua_pushlightuserdata(L, this);
    lua_pushvalue(L, callbackIndex);
    if (itemsIndex != 0)
      lua_pushvalue(L, itemsIndex);
    if (lua_pcall(L, itemsIndex != 0 ? 3 : 2, 0, 0) != LUA_OK) {
      ThrowIfHostFailed(L);
      NoteCallbackError(L);
      TakeResultCaught(L); // the error value stands in for the result
      lua_pop(L, 1);
    }
  }
  ThrowIfHostFailed(L);
  WarnOfCallbackErrors(L, functionName);
  if (FFailure)
    std::rethrow_exception(FFailure);
}

// Counts the error value on top of the stack and keeps the first one as text.
void TCallbackLoop::NoteCallbackError(lua_State *L) {
  if (!FWarnOfErrors || FErrorCount++ > 0)
    return;
  int type = lua_type(L, -1);
  if (type != LUA_TSTRING && type != LUA_TNUMBER) {
    FFirstError = std::string("(error object is a ") + lua_typename(L, type) + " value)";
    return;
  }
  // lua_tolstring would turn a number into a string in place: convert a copy.
  lua_pushvalue(L, -1);
  size_t length = 0;
  const char *s = lua_tolstring(L, -1, &length);
  FFirstError.assign(s, length);
  lua_pop(L, 1);
}

void TCallbackLoop::WarnOfCallbackErrors(lua_State *L, const char *functionName) const {
  TLua *engine = TLua::FromState(L);
  if (!FWarnOfErrors || FErrorCount == 0 || engine == nullptr)
    return;
  std::string first = FFirstError;
  std::replace_if(
      first.begin(), first.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  std::string count = std::to_string(FErrorCount);
  // German, like the program's other messages; the script's own text stays as it is.
  std::string warning = FErrorCount == 1 ? "Warnung: 1 Fehler in einem Callback von PWL." +
                                               std::string(functionName) + ": " + first
                                         : "Warnung: " + count + " Fehler in Callbacks von PWL." +
                                               functionName + ", der erste: " + first;
  engine->DoPrint(BytesToText(warning));
}

// Called with the loop and the callback. Owns nothing: the runtime may raise
// through it.
int TCallbackLoop::RunUnprotected(lua_State *L) {
  static_cast<TCallbackLoop *>(lua_touserdata(L, 1))->RunItems(L);
  return 0;
}

void TCallbackLoop::RunItems(lua_State *L) {
  while (!AtEnd()) {
    lua_pushvalue(L, CallbackIndex);
    lua_call(L, PushArguments(L), 1);
    bool ok = TakeResultCaught(L);
    lua_pop(L, 1);
    if (!ok)
      break;
  }
}

bool TCallbackLoop::TakeResultCaught(lua_State *L) noexcept {
  try {
    TakeResult(L);
    return true;
  } catch (...) {
    FFailure = std::current_exception();
    return false;
  }
}
