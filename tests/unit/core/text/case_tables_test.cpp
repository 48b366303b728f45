#include "core/text/case_tables.h"
#include "platform/unicode_case.h"

#include <gtest/gtest.h>

TEST(CaseTables, WideUpperTableMapsSingleUnitsAndLeavesSurrogates) {
  const char16_t *upper = WideUpperTable();
  EXPECT_EQ(upper[u'a'], u'A');
  EXPECT_EQ(upper[u'ä'], u'Ä');
  EXPECT_EQ(upper[u'ß'], u'ß'); // no single-unit upper case
  EXPECT_EQ(upper[0xD83D], 0xD83D);
  EXPECT_EQ(upper[u'1'], u'1');
}

TEST(CaseTables, UpperAndLowerTextConvertWholeTexts) {
  EXPECT_EQ(UpperText(u"Grüße, abc!"), u"GRÜßE, ABC!");
  EXPECT_EQ(LowerText(u"GRÜSSE"), u"grüsse");
}
