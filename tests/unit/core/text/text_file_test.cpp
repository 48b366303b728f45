#include "core/text/text_file.h"

#include <gtest/gtest.h>

#include "app/job_driver.h"
#include "platform/code_page.h"

namespace {

template <std::size_t N> std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

std::string Describe(const TText &text) {
  std::string out;
  for (char16_t c : text)
    out += c < 0x20 || c > 0x7E ? "\\u" + std::to_string(unsigned(c)) : std::string(1, char(c));
  return out;
}

} // namespace

TEST(TextFile, ByteOrderMarkSelectsTheEncodingAndIsDropped) {
  const struct {
    std::string Bytes;
    TText Text;
  } cases[] = {
      {Bytes("plain"), u"plain"},
      {Bytes("\xEF\xBB\xBF"
             "a\xC3\xBC"),
       u"a\u00FC"},
      {Bytes("\xFF\xFE"
             "a\0\xFC\0"),
       u"a\u00FC"},
      {Bytes("\xFE\xFF"
             "\0a\0\xFC"),
       u"a\u00FC"},
      // A character beyond the basic plane stays a surrogate pair.
      {Bytes("\xFF\xFE"
             "\x3D\xD8\x00\xDE"),
       u"\U0001F600"},
      {Bytes("\xFE\xFF"
             "\xD8\x3D\xDE\x00"),
       u"\U0001F600"},
      // An odd last byte of UTF-16 is not half a character.
      {Bytes("\xFF\xFE"
             "a\0b"),
       u"a"},
      {Bytes("\xEF\xBB\xBF"), u""},
      {Bytes("\xFF\xFE"), u""},
      {Bytes(""), u""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(DecodeTextFileBytes(c.Bytes), c.Text) << testing::PrintToString(c.Bytes);
  // Without a mark the ANSI code page applies (UTF-8 under the Linux test locale,
  // 1252 under Wine); a UTF-8 mark in UTF-16 position is not a mark.
  for (std::string bytes : {Bytes("\xC3\xBC"), Bytes("a\xFF"), Bytes("\xEF\xBB")})
    EXPECT_EQ(DecodeTextFileBytes(bytes), BytesToText(bytes)) << testing::PrintToString(bytes);
  if (platform::AnsiCodePage().IsUtf8()) {
    EXPECT_EQ(DecodeTextFileBytes(Bytes("a\xFF")), u"a\uFFFD");
  }
}

TEST(TextFile, LinesEndAtCrLfLoneLfAndLoneCr) {
  const struct {
    TText Text;
    TTextList Lines;
  } cases[] = {
      {u"a\r\nb\rc\n", {u"a", u"b", u"c"}},
      {u"", {}},
      {u"a", {u"a"}},
      {u"\n", {u""}},
      {u"a\r", {u"a"}},
      {u"a\n\n", {u"a", u""}},
      {u"\r\r\n", {u"", u""}},
      {u"a\n\rb", {u"a", u"", u"b"}},
      {u" \r\n ", {u" ", u" "}},
      // A NUL character ends the text.
      {TText(u"a\0b\nc", 5), {u"a"}},
      {TText(u"a\n\0\n", 4), {u"a"}},
      {TText(u"\0", 1), {}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(SplitTextFileLines(c.Text), c.Lines) << Describe(c.Text);
}

TEST(TextFile, ScriptFileTextEndsEveryLineWithCrLf) {
  EXPECT_EQ(ScriptFileText(Bytes("a\rb\nc\r\nd")), u"a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(ScriptFileText(Bytes("x\n\n")), u"x\r\n\r\n");
  EXPECT_EQ(ScriptFileText(Bytes("p\0q\nr")), u"p\r\n");
  EXPECT_EQ(ScriptFileText(Bytes("\xFF\xFE"
                                 "x\0\n\0")),
            u"x\r\n");
  EXPECT_EQ(ScriptFileText(""), u"");
}
