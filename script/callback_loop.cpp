#include "script/callback_loop.h"

#include "engine/host_boundary.h"

void TCallbackLoop::Run(lua_State *L, int callbackIndex) {
  while (!AtEnd() && !FFailure) {
    lua_pushcfunction(L, RunUnprotected);
    lua_pushlightuserdata(L, this);
    lua_pushvalue(L, callbackIndex);
    if (lua_pcall(L, 2, 0, 0) != LUA_OK) {
      ThrowIfHostFailed(L);
      TakeResultCaught(L); // the error value stands in for the result
      lua_pop(L, 1);
    }
  }
  ThrowIfHostFailed(L);
  if (FFailure)
    std::rethrow_exception(FFailure);
}

// Called with the loop and the callback. Owns nothing: the runtime may raise
// through it.
int TCallbackLoop::RunUnprotected(lua_State *L) {
  auto *loop = static_cast<TCallbackLoop *>(lua_touserdata(L, 1));
  while (!loop->AtEnd()) {
    lua_pushvalue(L, 2);
    lua_call(L, loop->PushArguments(L), 1);
    bool ok = loop->TakeResultCaught(L);
    lua_pop(L, 1);
    if (!ok)
      break;
  }
  return 0;
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
