#include "platform/locale_collation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

using platform::CollationLocaleName;
using platform::CompareTextLocale;

TEST(LocaleCollation, LocaleNameIsLanguageAndRegionBeforeTheDot) {
  struct {
    const char *Variable;
    const char *Expected;
  } cases[] = {
      {"de_DE.UTF-8", "de_DE"},
      {"en_US", "en_US"},
      {"de_DE@euro", "de_DE"},
      {"sv_SE.ISO-8859-1@x", "sv_SE"},
      {"C", ""},
      {"C.UTF-8", ""},
      {"POSIX", ""},
      {"", ""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(CollationLocaleName(c.Variable), c.Expected) << c.Variable;
}

namespace {

// Sets one variable for the life of the object and restores it afterwards.
class TScopedVariable {
public:
  TScopedVariable(const char *name, const char *value) : FName(name) {
    if (const char *old = std::getenv(name))
      FOld = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~TScopedVariable() {
    if (FOld)
      setenv(FName, FOld->c_str(), 1);
    else
      unsetenv(FName);
  }

private:
  const char *FName;
  std::optional<std::string> FOld;
};

} // namespace

TEST(LocaleCollation, EnvironmentOrderIsLcAllThenLcCollateThenLang) {
  TScopedVariable all("LC_ALL", nullptr), collate("LC_COLLATE", "sv_SE.UTF-8"),
      lang("LANG", "de_DE.UTF-8");
  EXPECT_EQ(platform::CollationLocaleFromEnvironment(), "sv_SE");
  {
    TScopedVariable emptyAll("LC_ALL", "");
    EXPECT_EQ(platform::CollationLocaleFromEnvironment(), "sv_SE");
  }
  {
    TScopedVariable setAll("LC_ALL", "POSIX");
    EXPECT_EQ(platform::CollationLocaleFromEnvironment(), "");
  }
  {
    TScopedVariable noCollate("LC_COLLATE", nullptr);
    EXPECT_EQ(platform::CollationLocaleFromEnvironment(), "de_DE");
  }
}

TEST(LocaleCollation, CompareOrdersLikeADictionary) {
  struct {
    const char16_t *A;
    const char16_t *B;
    bool IgnoreCase;
    int Expected;
  } cases[] = {
      {u"a", u"B", false, -1}, // not code-unit order, where 'B' < 'a'
      {u"B", u"a", true, 1},   {u"a", u"A", true, 0},         {u"a", u"A", false, -1},
      {u"a", u"á", true, -1},  {u"abc", u"abc", false, 0},    {u"", u"", true, 0},
      {u"", u"a", false, -1},  {u"Äpfel", u"Apfel", true, 1}, {u"äpfel", u"ÄPFEL", true, 0},
  };
  for (const auto &c : cases)
    EXPECT_EQ(CompareTextLocale(c.A, c.B, c.IgnoreCase), c.Expected)
        << std::string(c.A, c.A + std::char_traits<char16_t>::length(c.A));
}
