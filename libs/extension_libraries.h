// The extension functions the host environment adds to the standard tables,
// one list per table (each ends with {nullptr, nullptr}), and the zip library.
// Every function in these lists runs behind the host-function boundary.
#pragma once

#include "engine/lua_api.h"

const luaL_Reg *MathExtensionFunctions();
const luaL_Reg *OsExtensionFunctions();
const luaL_Reg *PathLibraryFunctions();
const luaL_Reg *StringExtensionFunctions();
const luaL_Reg *TableExtensionFunctions();

// Creates the zip library's metatables and the global table "zip"; leaves the
// stack as it found it.
void RegisterZipLibrary(lua_State *L);
