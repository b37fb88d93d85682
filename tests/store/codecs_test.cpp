#include "store/engine/codecs.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;

TEST(Codecs, TripleLayoutIsLengthPrefixedLittleEndian) {
  const std::string v = codec::encodeTriple("ab", "", "xyz");
  EXPECT_EQ(v, std::string("\x02\0\0\0ab\0\0\0\0\x03\0\0\0xyz", 17));
  const AnalysisRecord r{"12345670000010", k("먹었다"), k("먹/VV + 었/EP + 다/EF")};
  const std::string enc = codec::encodeRecord(r);
  EXPECT_EQ(enc.size(), r.serial.size() + r.word.size() + r.analysis.size() + 12);
  auto back = codec::decodeRecord(enc);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, r);
}

TEST(Codecs, OtherValueKindsRoundTrip) {
  const codec::Fields<4> q{"a", k("가"), "", "dddd"};
  EXPECT_EQ(codec::decodeQuad(codec::encodeQuad(q)), q);
  EXPECT_EQ(codec::decodePair(codec::encodePair("x", "yz")), (codec::Fields<2>{"x", "yz"}));
  auto ti = codec::decodeTextInt(codec::encodeTextInt("NNG", -7));
  ASSERT_TRUE(ti);
  EXPECT_EQ(ti->text, "NNG");
  EXPECT_EQ(ti->number, -7);
  EXPECT_EQ(codec::encodeTextInt("", 258), std::string("\0\0\0\0\x02\x01\0\0", 8));
}

// Every proper prefix of a valid value, and the value with a byte added, must fail to
// decode rather than read past the buffer or accept garbage.
template <typename Decode>
void expectEveryTruncationFails(const std::string& valid, Decode decode) {
  ASSERT_TRUE(decode(valid).has_value());
  for (std::size_t n = 0; n < valid.size(); ++n) {
    EXPECT_FALSE(decode(std::string_view(valid.data(), n)).has_value()) << "prefix of " << n;
  }
  EXPECT_FALSE(decode(valid + "x").has_value());
}

TEST(Codecs, TruncatedOrPaddedValuesFail) {
  expectEveryTruncationFails(codec::encodeTriple("s", k("낱말"), "a/NNG"),
                             [](std::string_view v) { return codec::decodeRecord(v); });
  expectEveryTruncationFails(codec::encodeQuad({"a", "b", "c", "d"}),
                             [](std::string_view v) { return codec::decodeQuad(v); });
  expectEveryTruncationFails(codec::encodePair("a", "b"),
                             [](std::string_view v) { return codec::decodePair(v); });
  expectEveryTruncationFails(codec::encodeTextInt("t", 1),
                             [](std::string_view v) { return codec::decodeTextInt(v); });
  const std::string list = codec::encodeList(
      {codec::encodeTriple("1", "w", "a/NNG"), codec::encodeTriple("2", "w", "b/NNG")});
  expectEveryTruncationFails(list, [](std::string_view v) { return codec::decodeRecordList(v); });
}

TEST(Codecs, LyingLengthsFail) {
  // A length far beyond the value, and one that would wrap a 32-bit sum.
  EXPECT_FALSE(codec::decodeRecord(std::string("\xFF\xFF\xFF\xFF", 4)));
  EXPECT_FALSE(codec::decodeRecord(std::string("\x01\0\0\0a\xFE\xFF\xFF\xFF", 9)));
  // A list that claims more items than its bytes can hold.
  std::string list = codec::encodeList({codec::encodeTriple("1", "w", "a")});
  list[0] = '\x7F';
  EXPECT_FALSE(codec::decodeRecordList(list));
  // A list whose total disagrees with its size.
  list = codec::encodeList({codec::encodeTriple("1", "w", "a")});
  list[4] = static_cast<char>(list[4] - 1);
  EXPECT_FALSE(codec::decodeRecordList(list));
}

TEST(EncapList, NewListAndAppendKeepOrder) {
  const std::string item1 = codec::encodeTriple("1", "w", "a/NNG");
  const std::string item2 = codec::encodeTriple("2", "v", "b/NNG");
  const std::string one = codec::encodeList({item1});
  EXPECT_EQ(one.substr(0, 8), std::string("\x01\0\0\0", 4) + std::string(1, static_cast<char>(item1.size())) +
                                  std::string(3, '\0'));
  auto two = codec::appendToList(one, item2);
  ASSERT_TRUE(two);
  EXPECT_EQ(*two, codec::encodeList({item1, item2}));
  auto records = codec::decodeRecordList(*two);
  ASSERT_TRUE(records);
  ASSERT_EQ(records->size(), 2u);
  EXPECT_EQ((*records)[0].serial, "1");
  EXPECT_EQ((*records)[1].serial, "2");
  EXPECT_FALSE(codec::appendToList("bad", item1));
  EXPECT_EQ(codec::decodeRecordList(codec::encodeList({}))->size(), 0u);
}

}  // namespace
}  // namespace selvanor
