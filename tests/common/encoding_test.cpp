#include "common/encoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <random>

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

// The lossy conversion as first written, kept as the model: convert the rest of the text;
// at a failure convert the good part before it on its own, put U+FFFD for one byte and
// start again after it. Quadratic in the number of bad bytes, but plainly right.
class RestartingModel {
 public:
  RestartingModel() : cd_(iconv_open("UTF-8", "CP949")) {}
  ~RestartingModel() { iconv_close(cd_); }
  RestartingModel(const RestartingModel&) = delete;
  RestartingModel& operator=(const RestartingModel&) = delete;

  std::string operator()(std::string_view cp949) {
    std::string out;
    std::size_t pos = 0;
    while (pos < cp949.size()) {
      std::string piece;
      std::size_t failedAt = 0;
      const std::string_view rest = cp949.substr(pos);
      if (convert(rest, piece, failedAt)) {
        out += piece;
        break;
      }
      std::string good;
      std::size_t unused = 0;
      if (failedAt > 0 && convert(rest.substr(0, failedAt), good, unused)) out += good;
      out += "\xEF\xBF\xBD";
      pos += failedAt + 1;
    }
    return out;
  }

 private:
  bool convert(std::string_view in, std::string& out, std::size_t& failedAt) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.assign(in.size() * 2 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    std::size_t produced = 0;
    while (inLeft > 0) {
      char* outPtr = out.data() + produced;
      std::size_t outLeft = out.size() - produced;
      const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      produced = out.size() - outLeft;
      if (rc != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      failedAt = in.size() - inLeft;
      return false;
    }
    out.resize(produced);
    return true;
  }

  iconv_t cd_;
};

TEST(Encoding, LossyConversionMatchesTheRestartingModel) {
  RestartingModel model;
  ASSERT_EQ(encoding::cp949Literal("갂"), "\x81\x41");  // second byte looks like 'A'
  ASSERT_EQ(encoding::cp949Literal("갵"), "\x81\x61");  // second byte looks like 'a'
  // Pieces the random texts are made of: valid pairs whose second byte looks like ASCII, a
  // common syllable, ASCII, bytes that start nothing (0x80, 0xFF), lone lead bytes (which
  // pair with whatever follows, or are cut off at the end), and second bytes on their own.
  const std::string pieces[] = {"\x81\x41", "\x81\x61", "\xB0\xA1", "A", "a", " ", "\\",
                                std::string(1, '\0'), "\x80", "\xFF", "\x81", "\xB0",
                                "\xFE", "\xC9", "\xA1", "\x41", "\x30"};
  std::mt19937 rng(949);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1), length(0, 24);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (std::size_t n = length(rng); n > 0; --n) text += pieces[pick(rng)];
    ASSERT_EQ(encoding::cp949ToUtf8Lossy(text), model(text)) << ::testing::PrintToString(text);
  }
  // A lead byte with a second byte that cannot follow it: that byte is read again.
  EXPECT_EQ(encoding::cp949ToUtf8Lossy("\x81\x30\x81\x41"), "\xEF\xBF\xBD" "0갂");
  // Output three times the input (every byte replaced) outgrows the first buffer; valid
  // text ending in a cut-off character.
  for (const std::string& text :
       {std::string(5000, '\x80'), std::string(3001, '\x81'),
        encoding::cp949Literal("먹었다 갂갵 ABC") + "\xB0"}) {
    EXPECT_EQ(encoding::cp949ToUtf8Lossy(text), model(text));
  }
}

}  // namespace
}  // namespace selvanor
