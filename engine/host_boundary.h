// The one entry from the runtime into host code. The runtime unwinds with
// longjmp, so no C++ exception may cross its frames and no longjmp may pass a
// C++ frame that owns objects. Every host function and method runs inside
// LuaProtectedHostCall: a script error thrown as EScriptError is raised in the
// runtime only after all destructors ran; running out of memory (std::bad_alloc) is
// raised like the runtime's own memory error, "not enough memory", which the script
// can catch; any other exception is a host failure, recorded on the engine, and the
// run is ended so no pcall can resume it. Once a run has ended that way, every later
// host call raises the failure again, so no script code that escaped the stopping
// hook gets any further through the host.
#pragma once

#include <exception>
#include <new>

#include "engine/lua_api.h"
#include "engine/lua_exceptions.h"

namespace boundary_detail {

// What to raise once the handler has finished. Plain data: the frame that
// raises must own nothing with a destructor.
struct TPendingRaise {
  int Kind;
  int Index;
};

TPendingRaise CaptureScriptError(const EScriptError &error) noexcept;
TPendingRaise CaptureHostFailure(lua_State *L, const char *message) noexcept;
TPendingRaise CaptureOutOfMemory() noexcept;
// Whether a host failure already ended the run of L, so the call must not run.
bool RunEnded(lua_State *L) noexcept;
TPendingRaise RecordedHostFailure() noexcept;
[[noreturn]] void Raise(lua_State *L, TPendingRaise raise);

} // namespace boundary_detail

template <typename TBody> int LuaProtectedHostCall(lua_State *L, TBody &&body) {
  boundary_detail::TPendingRaise raise;
  if (boundary_detail::RunEnded(L)) {
    raise = boundary_detail::RecordedHostFailure();
  } else {
    try {
      return body();
    } catch (const EScriptError &error) {
      raise = boundary_detail::CaptureScriptError(error);
    } catch (const std::bad_alloc &) {
      raise = boundary_detail::CaptureOutOfMemory();
    } catch (const std::exception &error) {
      raise = boundary_detail::CaptureHostFailure(L, error.what());
    } catch (...) {
      raise = boundary_detail::CaptureHostFailure(L, "unknown host failure");
    }
  }
  boundary_detail::Raise(L, raise);
}

// A host function as a lua_CFunction behind the boundary.
template <int (*Function)(lua_State *)> int LuaBoundary(lua_State *L) {
  return LuaProtectedHostCall(L, [L] { return Function(L); });
}

// Throws when a host failure ended the run while script code was called back
// (a loop that called lua_pcall must not go on after it).
void ThrowIfHostFailed(lua_State *L);

// Thrown to carry an already recorded host failure out of host code.
class EHostFailureRecorded : public std::exception {
public:
  const char *what() const noexcept override { return "host failure"; }
};
