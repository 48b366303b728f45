#include "libs/host_environment.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/process_runner.h"

namespace {

TText T(const std::string &s) {
  return AsciiText(s);
}

} // namespace

TEST(HostEnvironment, OpenAddsLibrariesWithoutNewGlobalsAndKeepsTheStack) {
  REveVed lua;
  lua.Open();
  lua_State *L = lua.LuaState();
  EXPECT_EQ(lua_gettop(L), 1); // only the name left by the engine's own Open
  ASSERT_EQ(lua.DoString(u"return type(os.path), os.path.DIR_SEP, path, math.type(os.SHOWNORMAL),"
                         u" os.SHOWMINNOACTIVE, type(string.rep), type(table.insert)"),
            0);
  EXPECT_STREQ(lua_tostring(L, 2), "table");
  EXPECT_STREQ(lua_tostring(L, 3), "/");
  EXPECT_TRUE(lua_isnil(L, 4));
  EXPECT_STREQ(lua_tostring(L, 5), "integer");
  EXPECT_EQ(lua_tointeger(L, 6), 7);
  EXPECT_STREQ(lua_tostring(L, 7), "function");
  EXPECT_STREQ(lua_tostring(L, 8), "function");
}

TEST(SetRequirePath, BuildsPatternsForExistingDirectoriesOnly) {
  TTempDir dir;
  ASSERT_EQ(mkdir(dir.File("lib").c_str(), 0755), 0);
  TText user = T(dir.Path());
  struct {
    TText scriptDir, extensions;
    bool baseDir, currentDir, init;
    TText expected;
  } cases[] = {
      {u"", u"lua; .luac", true, false, true,
       user + u"/?.lua;" + user + u"/?.luac;" + user + u"/?/init.lua;" + user + u"/?/init.luac"},
      {u"", u"", true, false, false, user + u"/?.lua"},
      {u"", u"txt", true, false, false, user + u"/?.txt"},
      {u"lib", u"", false, false, false, user + u"/lib/?.lua"},
      {u"nolib", u"", false, false, false, u""},
      {u"", u" ; ;", true, false, false, user + u"/?.lua"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(RequirePathText(user, c.scriptDir, c.extensions, c.baseDir, c.currentDir, false,
                              c.init, u""),
              c.expected);
  EXPECT_EQ(RequirePathText(u"", u"", u"lua; .luac", true, true, false, true, u""),
            u"./?.lua;./?.luac;./?/init.lua;./?/init.luac");
  EXPECT_EQ(RequirePathText(T(dir.Path() + "/missing"), u"", u"", true, false, false, false, u""),
            u"");
}

TEST(SetRequirePath, ReplacesPackagePathOnlyWhenPackageIsATable) {
  TTempDir dir;
  REveVed lua;
  lua.Open();
  lua.SetRequirePath(T(dir.Path()), u"", u"", true, false, false, false);
  ASSERT_EQ(lua.DoString(u"return package.path"), 0);
  EXPECT_EQ(std::string(lua_tostring(lua.LuaState(), -1)), dir.Path() + "/?.lua");
  ASSERT_EQ(lua.DoString(u"package = 5"), 0);
  lua.SetRequirePath(T(dir.Path()), u"", u"", true, false, false, false);
  ASSERT_EQ(lua.DoString(u"return package"), 0);
  EXPECT_EQ(lua_tointeger(lua.LuaState(), -1), 5);
}
