// Test data for statistics runs: statistics files written from readable tables, and a
// small tag file. Written with the store directly in the layout the statistics build
// gives (one sub-database per tag, key = morpheme, value = TextIntValue(morpheme, count)).
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "common/files.h"
#include "store/engine/codecs.h"
#include "store/engine/storage.h"
#include "support/test_support.h"

namespace selvanor::test {

// tag -> morpheme -> count, all UTF-8.
using Counts = std::map<std::string, std::map<std::string, int>>;

inline void writeStatistics(const std::string& path, const Counts& counts) {
  removeFile(path);
  for (const auto& [tag, records] : counts) {
    Storage s;
    ASSERT_TRUE(s.open(path, k(tag).c_str()));
    for (const auto& [morpheme, count] : records) {
      ASSERT_TRUE(s.put(k(morpheme), codec::encodeTextInt(k(morpheme), count)));
    }
    ASSERT_TRUE(s.close());
  }
}

// A document path in `dir` with its statistics file beside it (name.id / name.stt). The
// document itself is an empty placeholder: runs read only the statistics file.
inline std::string documentWithStatistics(const ScratchDir& dir, const std::string& name,
                                          const Counts& counts) {
  const std::string document = dir.file(name + ".id");
  writeFile(document, "");
  writeStatistics(dir.file(name + ".stt"), counts);
  return document;
}

// Content tags: NNG NNP VV MM IC SN (체언, 용언, 수식 언, 독 립언, 통계가치가 있는 범주/SN);
// relational tags: JKS JKO EP EF; the full list also SW. JKO is listed twice.
inline constexpr const char* kTagFile =
    "#1체언\n#2일반명사/NNG\n#2고유명사/NNP\n"
    "#1용언\n#2동사/VV\n"
    "#1수식언\n#2관형사/MM\n"
    "#1독립언\n#2감탄사/IC\n"
    "#1관계언\n#2격조사/JK+\n#3주격조사/JKS\n#3목적격조사/JKO\n"
    "#1의존형태\n#2어미/E+\n#3선어말어미/EP\n#3종결어미/EF\n#2목적격조사/JKO\n"
    "#1기타\n#2통계가치가 있는 범주/X+\n#3숫자/SN\n#2기타기호/SW\n";

}  // namespace selvanor::test
