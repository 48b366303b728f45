#include "libs/extension_libraries.h"

const luaL_Reg *OsExtensionFunctions() {
  static const luaL_Reg functions[] = {{nullptr, nullptr}};
  return functions;
}
