#include "libs/extension_libraries.h"

void RegisterZipLibrary(lua_State *) {}
