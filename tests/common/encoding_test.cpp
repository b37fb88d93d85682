#include "common/encoding.h"

#include <gtest/gtest.h>

namespace selvanor {
namespace {

TEST(Encoding, RoundTripsKorean) {
  const auto cp = encoding::utf8ToCp949("먹었다 갂갵 ABC");
  ASSERT_TRUE(cp);
  EXPECT_EQ(cp.text->substr(0, 2), "\xB8\xD4");
  const auto back = encoding::cp949ToUtf8(*cp.text);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back.text, "먹었다 갂갵 ABC");
}

TEST(Encoding, RefusesTextCp949CannotHold) {
  const auto cp = encoding::utf8ToCp949("가•나");  // U+2022 has no CP949 code
  EXPECT_FALSE(cp);
  EXPECT_EQ(cp.offending, "•");
  EXPECT_NE(encoding::unencodableMessage(cp.offending).find("•"), std::string::npos);
}

TEST(Encoding, InvalidCp949IsRefusedOrReplaced) {
  const std::string bad = std::string("a\xFF") + "\xB0\xA1";  // 0xFF is no lead byte
  EXPECT_FALSE(encoding::cp949ToUtf8(bad));
  EXPECT_EQ(encoding::cp949ToUtf8Lossy(bad), "a\xEF\xBF\xBD가");
  EXPECT_EQ(encoding::cp949ToUtf8Lossy("\xB0"), "\xEF\xBF\xBD");  // truncated character
  EXPECT_EQ(encoding::cp949ToUtf8Lossy(""), "");
}

}  // namespace
}  // namespace selvanor
