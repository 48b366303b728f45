#include "platform/deflate.h"

#include <gtest/gtest.h>

TEST(Deflate, CrcOfKnownText) {
  EXPECT_EQ(platform::Crc32("123456789"), 0xCBF43926u);
  EXPECT_EQ(platform::Crc32(""), 0u);
  EXPECT_EQ(platform::Crc32("6789", platform::Crc32("12345")), 0xCBF43926u);
}

TEST(Deflate, RoundTripKeepsEveryByte) {
  std::string data;
  for (int i = 0; i < 300000; ++i)
    data.push_back(char(i * 7 % 251));
  for (const std::string &input : {std::string(), std::string("a"), data}) {
    std::string compressed;
    ASSERT_TRUE(platform::DeflateRaw(input, compressed));
    std::string output;
    ASSERT_TRUE(platform::InflateRaw(compressed, input.size(), output));
    EXPECT_EQ(output, input);
  }
}

TEST(Deflate, InflateFailsOnWrongExpectedSize) {
  std::string compressed;
  ASSERT_TRUE(platform::DeflateRaw("hello hello hello", compressed));
  std::string output;
  EXPECT_FALSE(platform::InflateRaw(compressed, 16, output));
  EXPECT_LE(output.size(), 17u);
  EXPECT_FALSE(platform::InflateRaw(compressed, 18, output));
  EXPECT_TRUE(platform::InflateRaw(compressed, 17, output));
}

TEST(Deflate, InflateFailsOnStreamCutShort) {
  std::string compressed;
  ASSERT_TRUE(platform::DeflateRaw(std::string(5000, 'q') + "end", compressed));
  std::string output;
  for (std::size_t length = 0; length < compressed.size(); ++length)
    EXPECT_FALSE(platform::InflateRaw(compressed.substr(0, length), 5003, output)) << length;
}

TEST(Deflate, InflateFailsOnGarbage) {
  std::string output;
  EXPECT_FALSE(platform::InflateRaw(std::string("\xFF\xFF\xFF\xFF", 4), 10, output));
}
