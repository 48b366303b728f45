#include "engine/lua_api.h"

TLuaEntryPoints LuaApi;
