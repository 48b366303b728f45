#include <gtest/gtest.h>

#include "core/zip/zip_archive.h"
#include "libs/extension_libraries.h"
#include "libs/host_environment.h"
#include "tests/support/process_runner.h"
#include "tests/unit/core/zip/zip_test_archives.h"

TEST(ZipLibrary, RegistrationLeavesTheStackAndRegistersBothMetatables) {
  REveVed lua;
  lua.Open();
  lua_State *L = lua.LuaState();
  int top = lua_gettop(L);
  RegisterZipLibrary(L); // a second registration, as a second Open does
  EXPECT_EQ(lua_gettop(L), top);
  ASSERT_EQ(lua.RunChunk("local n = 0\n"
                         "for k in pairs(debug.getmetatable(zip())) do n = n + 1 end\n"
                         "result = n"),
            0);
  lua_getglobal(L, "result");
  // 19 entries, __index and the runtime's __name
  EXPECT_EQ(lua_tointeger(L, -1), 21);
  lua_pop(L, 1);
  EXPECT_EQ(luaL_getmetatable(L, "zevuvu.module.zip"), LUA_TTABLE);
  lua_pop(L, 1);
}

TEST(ZipLibrary, FileCommentOnAReadOnlyArchiveEndsTheRun) {
  TTempDir dir;
  std::string path = dir.Write("a.zip", BuildArchive({StoredEntry("a", "a")}));
  REveVed lua;
  lua.Open();
  std::string code = "local z = zip()\nassert(z:open('" + path +
                     "', true))\n"
                     "pcall(z.setfilecomment, z, 1, 'x')\n"
                     "reached = true";
  EXPECT_NE(lua.RunChunk(code), 0);
  EXPECT_TRUE(lua.HostFailed());
  lua_getglobal(lua.LuaState(), "reached");
  EXPECT_TRUE(lua_isnil(lua.LuaState(), -1));
}

TEST(ZipLibrary, PendingChangesAreWrittenWhenTheStateCloses) {
  TTempDir dir;
  std::string source = dir.Write("s.txt", "content");
  {
    REveVed lua;
    lua.Open();
    ASSERT_EQ(lua.RunChunk("keep = zip()\nassert(keep:open('" + dir.File("a.zip") +
                           "'))\nassert(keep:add('" + source + "'))"),
              0);
  }
  TZipArchive archive;
  ASSERT_TRUE(archive.Load(ReadFileBytes(dir.File("a.zip"))));
  ASSERT_EQ(archive.Count(), 1u);
  EXPECT_EQ(archive.Info(0).FName, "s.txt");
}
