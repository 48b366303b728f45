// Shared by the two halves of os.path: the text functions and queries in
// path_library.cpp, the listings and file operations in path_library_files.cpp.
#pragma once

#include "core/text/text.h"
#include "engine/lua_api.h"

// An expected failure: nil, then the argument's bytes exactly as the script passed
// them followed by the fixed suffix (": No such file or directory" ...).
int PathFailure(lua_State *L, TBytesView argument, TBytesView suffix);

// The listings and file operations, as host functions (not yet behind the boundary).
int PathList(lua_State *L);
int PathListInfo(lua_State *L);
int PathChdir(lua_State *L);
int PathMkdir(lua_State *L);
int PathRmdir(lua_State *L);
int PathRemove(lua_State *L);
int PathCopy(lua_State *L);
int PathMove(lua_State *L);
int PathRename(lua_State *L);
