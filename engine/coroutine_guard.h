// Coroutine resumption that respects a host failure. The stopping hook of a
// failed run sits on the failing thread and the main thread only; a coroutine
// created before the failure has none, and if it got control back it could
// run on and even clear the main thread's hook. Control reaches a coroutine
// only through resume, so coroutine.resume and coroutine.wrap are replaced by
// versions that refuse to resume after a failure and end the run again when a
// resumed coroutine returns after one. Everything else behaves as the
// runtime's own functions.
#pragma once

#include "engine/lua_api.h"

// Replaces resume and wrap in the state's coroutine table (the one that
// require returns too). Needs the standard libraries opened.
void GuardCoroutineResumption(lua_State *L);
