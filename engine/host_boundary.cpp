#include "engine/host_boundary.h"

#include <string>

#include "engine/state_link.h"

namespace boundary_detail {
namespace {

enum TRaiseKind { RaiseArgument, RaiseMessage, RaiseValue, RaiseOutOfMemory, RaiseHostFailure };

// The text to raise, kept outside the raising frame (static storage).
thread_local std::string PendingText;

void SetPendingText(const char *text) noexcept {
  try {
    PendingText = text;
  } catch (...) {
    PendingText.clear();
  }
}

const char *FailureText(lua_State *L) {
  TStateLink *link = StateLinkOf(L);
  return link ? link->Failure.Text.c_str() : "host failure";
}

// The runtime runs finalisers with hooks switched off, so a collection step
// after the failure could still run script code: the collector stays stopped
// for the rest of the run (closing the state still collects everything).
void StopCollector(lua_State *L) {
  lua_gc(L, LUA_GCSTOP, 0);
}

// Installed on a failed run's threads: every instruction raises again, so no
// protected call of the script can carry on after a host failure.
void HostFailureHook(lua_State *L, lua_Debug *) {
  StopCollector(L);
  lua_pushstring(L, FailureText(L));
  lua_error(L);
}

void EndRunOnThread(lua_State *L) {
  lua_sethook(L, HostFailureHook, LUA_MASKCALL | LUA_MASKRET | LUA_MASKLINE | LUA_MASKCOUNT, 1);
}

// A host function running as the __gc finaliser of its argument releases what
// that object holds; refusing it after a failure would leak it, and it runs no
// script code. The runtime does not mark finaliser calls, so the test is whether
// the running function is the argument's own __gc.
bool RunsAsFinaliser(lua_State *L) {
  lua_Debug frame;
  if (!lua_getstack(L, 0, &frame) || luaL_getmetafield(L, 1, "__gc") == LUA_TNIL)
    return false;
  lua_getinfo(L, "f", &frame);
  bool finaliser = lua_rawequal(L, -1, -2) != 0;
  lua_pop(L, 2);
  return finaliser;
}

} // namespace

TPendingRaise CaptureScriptError(const EScriptError &error) noexcept {
  SetPendingText(error.Text().c_str());
  switch (error.Kind()) {
  case EScriptError::ArgumentError:
    return {RaiseArgument, error.Index()};
  case EScriptError::Message:
    return {RaiseMessage, 0};
  case EScriptError::ValueOnStack:
    break;
  }
  return {RaiseValue, 0};
}

TPendingRaise CaptureHostFailure(lua_State *L, const char *message) noexcept {
  if (TStateLink *link = StateLinkOf(L))
    link->Failure.Record(message);
  return {RaiseHostFailure, 0};
}

TPendingRaise CaptureOutOfMemory() noexcept {
  return {RaiseOutOfMemory, 0};
}

bool RunEnded(lua_State *L) noexcept {
  TStateLink *link = StateLinkOf(L);
  return link != nullptr && link->Failure.Failed && !RunsAsFinaliser(L);
}

TPendingRaise RecordedHostFailure() noexcept {
  return {RaiseHostFailure, 0};
}

void Raise(lua_State *L, TPendingRaise raise) {
  switch (raise.Kind) {
  case RaiseArgument:
    luaL_argerror(L, raise.Index,
                  PendingText.empty() ? "wrong or missing parameter" : PendingText.c_str());
    break;
  case RaiseMessage:
    luaL_error(L, "%s", PendingText.c_str());
    break;
  case RaiseValue:
    lua_error(L);
    break;
  case RaiseOutOfMemory:
    // No position, as the runtime's own memory errors have none; the runtime keeps
    // this very string at all times, so pushing it takes no new memory.
    lua_pushstring(L, "not enough memory");
    lua_error(L);
    break;
  default: {
    StopCollector(L);
    EndRunOnThread(L);
    lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_MAINTHREAD);
    lua_State *mainThread = lua_tothread(L, -1);
    lua_pop(L, 1);
    if (mainThread && mainThread != L)
      EndRunOnThread(mainThread);
    lua_pushstring(L, FailureText(L));
    lua_error(L);
  }
  }
  // The runtime's raise functions do not return.
  __builtin_unreachable();
}

} // namespace boundary_detail

void ThrowIfHostFailed(lua_State *L) {
  TStateLink *link = StateLinkOf(L);
  if (link && link->Failure.Failed)
    throw EHostFailureRecorded();
}
