// The PWL table: the script's view of the input being processed.
#pragma once

#include "engine/lua_api.h"

class TPwlContext;

// Creates the table with its 14 functions and stores it as the global "PWL".
// Its functions work on context, which must outlive the state.
void RegisterPwlTable(lua_State *L, TPwlContext &context);
