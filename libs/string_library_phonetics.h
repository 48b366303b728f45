// The string functions that build comparison keys: phonetic codes, the edit
// distance and byte normalisation. Registered with the other string functions.
#pragma once

#include "engine/lua_api.h"

int StringColognePhonetic(lua_State *L);
int StringMetaphone(lua_State *L);
int StringPhonetic(lua_State *L);
int StringLevenshtein(lua_State *L);
int StringNormalize(lua_State *L);
