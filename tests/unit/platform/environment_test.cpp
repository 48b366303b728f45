#include "platform/environment.h"

#include <gtest/gtest.h>

#include <cstdlib>

using platform::EnvironmentVariable;

TEST(Environment, VariableIsReadThroughTheCodePage) {
  ASSERT_EQ(setenv("REDEVUVO_ENV_TEST",
                   "Gr\xC3\xBC\xC3\x9F"
                   "e",
                   1),
            0);
  EXPECT_EQ(EnvironmentVariable(u"REDEVUVO_ENV_TEST"), std::optional<std::u16string>(u"Grüße"));
  unsetenv("REDEVUVO_ENV_TEST");
  EXPECT_EQ(EnvironmentVariable(u"REDEVUVO_ENV_TEST"), std::nullopt);
}

TEST(Environment, ImpossibleNamesAreNeverSet) {
  ASSERT_EQ(setenv("REDEVUVO_ENV_A", "x", 1), 0);
  EXPECT_EQ(EnvironmentVariable(u""), std::nullopt);
  EXPECT_EQ(EnvironmentVariable(u"REDEVUVO_ENV_A=x"), std::nullopt);
  EXPECT_EQ(EnvironmentVariable(std::u16string(u"REDEVUVO_ENV_A\0b", 16)), std::nullopt);
  unsetenv("REDEVUVO_ENV_A");
}

TEST(Environment, ExpandEnvironmentReplacesSetVariablesOnly) {
  ASSERT_EQ(setenv("REDEVUVO_TT_SET", "value", 1), 0);
  ASSERT_EQ(setenv("REDEVUVO_TT_EMPTY", "", 1), 0);
  ASSERT_EQ(unsetenv("REDEVUVO_TT_UNSET"), 0);
  struct {
    const char16_t *S;
    const char16_t *Expected;
  } cases[] = {
      {u"", u""},
      {u"plain", u"plain"},
      {u"%REDEVUVO_TT_SET%", u"value"},
      {u"a%REDEVUVO_TT_SET%b%REDEVUVO_TT_SET%", u"avaluebvalue"},
      {u"<%REDEVUVO_TT_EMPTY%>", u"<>"},
      {u"%REDEVUVO_TT_UNSET%", u"%REDEVUVO_TT_UNSET%"},
      {u"%REDEVUVO_TT_UNSET%%REDEVUVO_TT_SET%", u"%REDEVUVO_TT_UNSET%value"},
      {u"%REDEVUVO_TT_UNSET%REDEVUVO_TT_SET%", u"%REDEVUVO_TT_UNSET%REDEVUVO_TT_SET%"},
      {u"100%", u"100%"},
      {u"%%", u"%%"},
      {u"%A=B%", u"%A=B%"},
      {u"50% of %REDEVUVO_TT_SET%", u"50% of %REDEVUVO_TT_SET%"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(platform::ExpandEnvironment(c.S), c.Expected)
        << std::string(c.S, c.S + std::char_traits<char16_t>::length(c.S));
  unsetenv("REDEVUVO_TT_SET");
  unsetenv("REDEVUVO_TT_EMPTY");
}
