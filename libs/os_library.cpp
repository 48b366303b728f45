// os.shellexecute, os.sleep and os.ticks (the show constants are set with the table).
#include <chrono>
#include <cstdint>
#include <thread>

#include "core/process/shell_execute.h"
#include "core/text/text_routines.h"
#include "engine/host_boundary.h"
#include "engine/marshalling.h"
#include "libs/extension_libraries.h"
#include "platform/clock.h"
#include "platform/code_page.h"

namespace {

constexpr lua_Integer ShowNormal = 1;

int OsShellExecute(lua_State *L) {
  TBytes operation = LuaCheckString(L, 1);
  TBytes file = LuaCheckString(L, 2);
  TBytes parameters = LuaOptString(L, 3, "");
  TBytes directory = LuaOptString(L, 4, "");
  lua_Integer show = LuaOptInteger(L, 5, ShowNormal);
  LuaClearStack(L);
  return LuaReturnBoolean(L,
                          ShellExecute(BytesToText(operation), BytesToText(file),
                                       BytesToText(parameters), BytesToText(directory), int(show)));
}

int OsSleep(lua_State *L) {
  lua_Integer milliseconds = LuaCheckInteger(L, 1);
  LuaClearStack(L);
  // The count is an unsigned 32-bit number of milliseconds: the low 32 bits are
  // taken, so 4294967295 waits about 49.7 days rather than forever.
  if (milliseconds > 0)
    std::this_thread::sleep_for(
        std::chrono::milliseconds(static_cast<std::uint32_t>(milliseconds)));
  return 0;
}

int OsTicks(lua_State *L) {
  LuaClearStack(L);
  return LuaReturnInteger(L, std::int64_t(platform::TickCount()));
}

} // namespace

const luaL_Reg *OsExtensionFunctions() {
  static const luaL_Reg functions[] = {
      {"shellexecute", LuaBoundary<OsShellExecute>},
      {"sleep", LuaBoundary<OsSleep>},
      {"ticks", LuaBoundary<OsTicks>},
      {nullptr, nullptr},
  };
  return functions;
}
