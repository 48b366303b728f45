// The PWL table: the script's view of the input being processed.
#pragma once

#include "engine/lua_api.h"

// Creates the table with its 14 functions and stores it as the global "PWL".
void RegisterPwlTable(lua_State *L);
