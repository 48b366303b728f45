#include "engine/runtime_binding.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "engine/lua_engine.h"
#include "engine/lua_exceptions.h"

namespace {

std::string ReadImage(const char *path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ExceptionMessage(TLua &lua) {
  try {
    lua.Open();
  } catch (const std::exception &e) {
    return e.what();
  }
  return "<no exception>";
}

} // namespace

TEST(RuntimeBinding, LoadsOnFirstOpenAndServesLaterEngines) {
  TLuaRuntimeImageOverride useEmbedded(EmbeddedLuaRuntimeImage());
  EXPECT_FALSE(TLua::LuaLibraryLoaded());
  {
    TLua first;
    first.Open();
    EXPECT_TRUE(TLua::LuaLibraryLoaded());
  }
  EXPECT_TRUE(TLua::LuaLibraryLoaded()); // closing an engine keeps the runtime
  TLua second;
  ASSERT_EQ(second.DoString(u"return _VERSION"), 0);
  EXPECT_STREQ(lua_tostring(second.LuaState(), -1), "Lua 5.3");
}

TEST(RuntimeBinding, EveryRequiredEntryPointIsBound) {
  TLuaRuntimeImageOverride useEmbedded(EmbeddedLuaRuntimeImage());
  TLua::LoadLuaLibrary();
  const TLuaEntryPointSlot *slots = LuaEntryPointSlots();
  EXPECT_EQ(LuaEntryPointCount, 138);
  for (int i = 0; i < LuaEntryPointCount; ++i)
    EXPECT_NE(*slots[i].Slot, nullptr) << slots[i].Name;
  EXPECT_STREQ(slots[0].Name, "lua_newstate");
  EXPECT_STREQ(slots[LuaEntryPointCount - 1].Name, "luaL_requiref");
}

TEST(RuntimeBinding, MissingImageRaisesNotFoundEveryTime) {
  TLuaRuntimeImageOverride noImage(std::nullopt);
  for (int attempt = 0; attempt < 2; ++attempt) {
    TLua lua;
    std::string message = ExceptionMessage(lua);
    EXPECT_EQ(message, "Lua library resource not present\"");
    EXPECT_EQ(message.size(), 33u);
    EXPECT_TRUE(lua.Opened()); // set before the load, as the engine does
    EXPECT_FALSE(TLua::LuaLibraryLoaded());
    lua.Close(); // no state to close
    EXPECT_FALSE(lua.Opened());
  }
}

TEST(RuntimeBinding, ImagesThatCannotBeMappedRaiseLoadError) {
  for (std::string_view image :
       {std::string_view(""), std::string_view("this is not a library image")}) {
    TLuaRuntimeImageOverride bad(image);
    TLua lua;
    EXPECT_EQ(ExceptionMessage(lua), "Failed to load Lua library");
    EXPECT_FALSE(TLua::LuaLibraryLoaded());
  }
}

TEST(RuntimeBinding, MissingEntryPointIsNamedAndLaterOpensFailCleanly) {
  std::string stub = ReadImage(REDEVUVO_STUB_IMAGE);
  ASSERT_FALSE(stub.empty());
  TLuaRuntimeImageOverride stubImage(stub);
  for (int attempt = 0; attempt < 2; ++attempt) {
    TLua lua;
    EXPECT_EQ(ExceptionMessage(lua), "Entry point \"'lua_close'\" not found");
    EXPECT_FALSE(TLua::LuaLibraryLoaded());
  }
}

TEST(RuntimeBinding, QuotesInsideAnEntryPointNameAreDoubled) {
  EXPECT_STREQ(ELuaLibraryMethodNotFound("it's").what(), "Entry point \"'it''s'\" not found");
}
