#include "common/encoding.h"
#include "common/unicode_nfc.h"

#include <gtest/gtest.h>

#include <random>

#include "support/restarting_conversion.h"

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

TEST(Encoding, LossyConversionMatchesTheRestartingModel) {
  test::RestartingModel model;
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

// The code-point table the importers convert through gives, for every code point, what
// a conversion of its UTF-8 gives: the same bytes, or no code at all.
TEST(Encoding, CodePointTableAgreesWithTheConversionEverywhere) {
  std::string utf8, viaTable;
  for (char32_t cp = 1; cp < 0x110000; cp += cp < 0x10000 ? 1 : 0x1111) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    utf8.clear();
    if (cp < 0x80) {
      utf8 += static_cast<char>(cp);
    } else if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (cp >> 18));
      utf8 += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    }
    viaTable.clear();
    const bool mapped = encoding::appendCp949Of(cp, viaTable);
    const encoding::Conversion c = encoding::utf8ToCp949(utf8);
    ASSERT_EQ(mapped, c.text.has_value()) << std::hex << static_cast<unsigned>(cp);
    if (mapped) {
      ASSERT_EQ(viaTable, *c.text) << std::hex << static_cast<unsigned>(cp);
    }
  }
  std::string out = "x";
  EXPECT_TRUE(encoding::appendCp949Of(U'갂', out));
  EXPECT_EQ(out, "x\x81\x41");
  EXPECT_FALSE(encoding::appendCp949Of(U'\U0001F600', out));
  EXPECT_EQ(out, "x\x81\x41");
}

// NFC of what CP949 converts to: Å (Angstrom sign), Ω (Ohm sign) and the duplicate Hanja
// become their canonical characters; everything else stays byte for byte.
TEST(Encoding, SingletonsOfCp949ComposeToTheirCanonicalCharacters) {
  std::string text = *encoding::cp949ToUtf8("\xCB\xD0 \xA1\xCA\xA7\xD9 \xD1\xC2 \xB0\xA1").text;
  EXPECT_EQ(text, "\uF900 \u212B\u2126 \u8C48 \uAC00");
  unicode::composeCp949Singletons(text);
  EXPECT_EQ(text, "\u8C48 \u00C5\u03A9 \u8C48 \uAC00");
  // Every character CP949 holds: composing twice changes nothing more, and only the 270
  // singletons change at all.
  std::size_t changed = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x41; trail <= 0xFE; ++trail) {
      const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
      encoding::Conversion c = encoding::cp949ToUtf8(std::string_view(pair, 2));
      if (!c) continue;
      std::string once = *c.text;
      unicode::composeCp949Singletons(once);
      if (once != *c.text) ++changed;
      std::string twice = once;
      unicode::composeCp949Singletons(twice);
      ASSERT_EQ(twice, once);
    }
  }
  EXPECT_EQ(changed, 270u);
  std::string untouched = "abc \xE2\x84";  // a cut-off sequence at the end stays
  unicode::composeCp949Singletons(untouched);
  EXPECT_EQ(untouched, "abc \xE2\x84");
}

}  // namespace
}  // namespace selvanor


namespace selvanor {
namespace {

// glibc's CP949 converter takes in the pair A2 E8 and then refuses it, leaving nothing to
// step over: the strict conversion must not read past the text, nor the lossy one run on.
TEST(Encoding, APairTheConverterTakesInAndRefusesEndsBothConversions) {
  for (const std::string_view text : {std::string_view("\xA2\xE8"), std::string_view("x\xA2\xE8")}) {
    const std::string copy(text);  // no terminator read past, under AddressSanitizer
    const encoding::Conversion c = encoding::cp949ToUtf8(copy);
    if (!c) {
      EXPECT_LE(c.offset, copy.size());
      EXPECT_LE(c.offset + c.offending.size(), copy.size());
    }
    const std::string lossy = encoding::cp949ToUtf8Lossy(copy);
    EXPECT_LT(lossy.size(), 16u);
    EXPECT_EQ(lossy.substr(0, text.size() == 3 ? 1 : 0), text.size() == 3 ? "x" : "");
  }
}

}  // namespace
}  // namespace selvanor
