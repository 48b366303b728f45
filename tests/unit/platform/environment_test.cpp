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
