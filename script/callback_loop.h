// Calling a script function for many items. The callback runs unprotected inside
// one protected call for as many items as it can: a protected call per item
// costs more than a short callback itself. An error raised by the callback ends
// that protected call; the loop then takes the error value as the item's result
// and enters again, so the script sees the same thing as with one protected call
// per item. So that such errors do not pass unnoticed, an iteration in which
// callbacks raised errors ends with one warning on standard error: their count
// and the first error.
#pragma once

#include <cstddef>
#include <exception>
#include <string>

#include "engine/lua_api.h"

class TCallbackLoop {
public:
  virtual ~TCallbackLoop() = default;

  // Runs every item with the callback at stack index callbackIndex. Script errors
  // of the results are thrown here, after the protected call returned, never
  // across the runtime's frames; a host failure ends the loop too. The warning
  // names the iteration as PWL.<functionName>. A value at stack index itemsIndex
  // (0: none) is at ItemsIndex while the arguments are pushed.
  void Run(lua_State *L, int callbackIndex, const char *functionName, int itemsIndex = 0);

protected:
  static constexpr int ItemsIndex = 3;

  // A loop whose callback errors are results like any other warns of none.
  explicit TCallbackLoop(bool warnOfErrors = true) : FWarnOfErrors(warnOfErrors) {}

  virtual bool AtEnd() const = 0;
  // Pushes the callback's arguments and returns their count. It may be called
  // where the runtime raises through its caller: it pushes prepared values only
  // and creates no object that would need a destructor.
  virtual int PushArguments(lua_State *L) = 0;
  // Takes the result on top of the stack for the current item and moves on;
  // throws EScriptError for a result the item cannot take.
  virtual void TakeResult(lua_State *L) = 0;
  // Calls the callback (at CallbackIndex) for item after item until the end or a
  // result the item cannot take. The runtime may raise through it.
  void RunItems(lua_State *L);
  // TakeResult with any exception kept for Run to throw; false when it threw.
  bool TakeResultCaught(lua_State *L) noexcept;

  static constexpr int CallbackIndex = 2;

private:
  static int RunUnprotected(lua_State *L);
  void NoteCallbackError(lua_State *L);
  void WarnOfCallbackErrors(lua_State *L, const char *functionName) const;

  bool FWarnOfErrors;
  std::exception_ptr FFailure;
  size_t FErrorCount = 0;
  std::string FFirstError;
};
