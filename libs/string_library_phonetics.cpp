#include "libs/string_library_phonetics.h"

#include "core/phonetics/cologne_phonetic.h"
#include "core/phonetics/edit_distance.h"
#include "core/phonetics/metaphone.h"
#include "core/phonetics/phonet.h"
#include "core/text/fold_text.h"
#include "engine/marshalling.h"
#include "platform/code_page.h"

int StringColognePhonetic(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  LuaClearStack(L);
  return LuaReturnText(L, ColognePhonetic(BytesToText(s)));
}

int StringMetaphone(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  LuaClearStack(L);
  return LuaReturnText(L, Metaphone(BytesToText(s)));
}

int StringPhonetic(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  bool firstRules = LuaOptBoolean(L, 2, true);
  LuaClearStack(L);
  return LuaReturnText(L, Phonet(BytesToText(s), firstRules));
}

int StringLevenshtein(lua_State *L) {
  TBytes a = LuaCheckString(L, 1);
  TBytes b = LuaCheckString(L, 2);
  LuaClearStack(L);
  return LuaReturnInteger(L,
                          static_cast<std::int64_t>(EditDistance(BytesToText(a), BytesToText(b))));
}

// Works on the bytes themselves: no conversion to text and back.
int StringNormalize(lua_State *L) {
  TBytes s = LuaCheckString(L, 1);
  LuaClearStack(L);
  return LuaReturnByteString(L, FoldBytes(s));
}
