#include "lexicon/homonym_correction.h"

#include <gtest/gtest.h>

#include <map>

#include "store/engine/document_cursor.h"
#include "store/grid/row_cache.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;

class FakeDictionary final : public HomonymLookup {
 public:
  std::map<std::string, std::vector<HomonymSense>> entries;
  std::vector<std::string> asked;
  std::size_t failFrom = 0;  // the look-up (1-based) from which the dictionary cannot be read
  std::vector<HomonymSense> senses(std::string_view headword) override {
    asked.emplace_back(headword);
    if (failFrom != 0 && asked.size() >= failFrom) return {};
    auto it = entries.find(std::string(headword));
    return it == entries.end() ? std::vector<HomonymSense>{} : it->second;
  }
  bool failed() const override { return failFrom != 0 && asked.size() >= failFrom; }
};

// Answers from a script: a numbered form to choose, "" to skip, "STOP" to stop.
class ScriptedChooser final : public HomonymCorrectionListener {
 public:
  std::vector<std::string> answers;
  std::vector<std::string> morphemes;
  int changed = 0;
  void showRow(int) override {}
  ChoiceResult choose(std::string_view morpheme, const std::vector<HomonymSense>&) override {
    morphemes.emplace_back(morpheme);
    const std::string a = morphemes.size() <= answers.size() ? answers[morphemes.size() - 1] : "";
    if (a == "STOP") return {SenseChoice::Stop, {}};
    if (a.empty()) return {SenseChoice::Skip, {}};
    return {SenseChoice::Chosen, a};
  }
  void rowChanged(int) override { ++changed; }
};

class HomonymCorrection : public ::testing::Test {
 protected:
  void SetUp() override {
    dictionary.entries[k("사과")] = {{k("사과"), k("사과01"), "", ""}, {k("사과"), k("사과02"), "", ""}};
    dictionary.entries[k("가")] = {{k("가"), k("가01"), "", ""}};
  }
  void write(const std::vector<AnalysisRecord>& records) {
    DocumentCursor c;
    ASSERT_EQ(c.open(doc), result::kOk);
    for (const auto& r : records) ASSERT_EQ(c.addLine(r.serial, r.word, r.analysis), result::kOk);
  }
  std::string analysisOf(int row) {
    auto r = cache.readRecord(row);
    return r ? r->analysis : "<none>";
  }
  CorrectionOutcome run() {
    EXPECT_GT(cache.open(doc), 0);
    return runHomonymCorrection(cache, dictionary, chooser);
  }

  test::ScratchDir dir;
  std::string doc = dir.file("doc.id");
  FakeDictionary dictionary;
  ScriptedChooser chooser;
  RowCache cache;
};

TEST_F(HomonymCorrection, ChosenSenseReplacesTheMorphemeUnderTheSameSerial) {
  write({{"S1", k("사과를"), k("사과/NNG + 를/JKO")}});
  chooser.answers = {k("사과02")};
  EXPECT_EQ(run(), CorrectionOutcome::Completed);
  EXPECT_EQ(analysisOf(0), k("사과02/NNG + 를/JKO"));
  EXPECT_EQ(cache.recordCount(), 1);
  EXPECT_EQ(cache.readRecord(0)->serial, "S1");
}

TEST_F(HomonymCorrection, ExemptMorphemesAreNeverAsked) {
  write({{"S1", "w", k("사과/NNP + 를/JKO + ./SF + 가/EC + 사과/JX")}});
  EXPECT_EQ(run(), CorrectionOutcome::Completed);
  EXPECT_TRUE(chooser.morphemes.empty());
  EXPECT_TRUE(dictionary.asked.empty());
}

TEST_F(HomonymCorrection, SkipLeavesTheDocumentAndStopEndsTheRun) {
  write({{"S1", "w", k("사과/NNG")}, {"S2", "v", k("사과/NNG")}});
  EXPECT_EQ(run(), CorrectionOutcome::Completed);  // every answer is a skip
  EXPECT_EQ(chooser.morphemes.size(), 2u);
  EXPECT_EQ(chooser.changed, 0);
  chooser = ScriptedChooser();
  chooser.answers = {"STOP", k("사과01")};
  cache.close();
  EXPECT_EQ(run(), CorrectionOutcome::Stopped);
  EXPECT_EQ(chooser.morphemes.size(), 1u);
  EXPECT_EQ(analysisOf(0), k("사과/NNG"));
  EXPECT_EQ(analysisOf(1), k("사과/NNG"));
}

TEST_F(HomonymCorrection, TrailingSymbolIsDroppedForTheLookUpAndKept) {
  write({{"S1", "w", k("가~/NNG + 사과*/NNG")}, {"S2", "w", "~/NNG"}});
  chooser.answers = {k("가01"), k("사과01")};
  EXPECT_EQ(run(), CorrectionOutcome::Completed);
  EXPECT_EQ(chooser.morphemes, (std::vector<std::string>{k("가"), k("사과")}));
  EXPECT_EQ(analysisOf(0), k("가01~/NNG + 사과01*/NNG"));
  EXPECT_EQ(dictionary.asked.back(), "~");  // a one-byte morpheme is looked up unchanged
}

TEST_F(HomonymCorrection, ReplacesTheMorphemeAtItsOwnPlace) {
  // 사과 also stands inside the first morpheme; only the second one is corrected.
  write({{"S1", "w", k("사과나무/NNG + 사과/NNG + 사과/NNG")}});
  dictionary.entries[k("사과나무")] = {{k("사과나무"), k("사과나무01"), "", ""}};
  chooser.answers = {"", k("사과02"), k("사과01")};
  EXPECT_EQ(run(), CorrectionOutcome::Completed);
  EXPECT_EQ(analysisOf(0), k("사과나무/NNG + 사과02/NNG + 사과01/NNG"));
}

TEST_F(HomonymCorrection, ALongerFormShiftsTheLaterMorphemesOfTheRow) {
  std::string analysis;
  for (int i = 0; i < 60; ++i) analysis += (i ? " + " : "") + k("사과") + "/NNG";
  write({{"S1", "w", analysis}});
  chooser.answers.assign(60, k("사과02"));
  EXPECT_EQ(run(), CorrectionOutcome::Completed);
  std::string expected;
  for (int i = 0; i < 60; ++i) expected += (i ? " + " : "") + k("사과02") + "/NNG";
  EXPECT_GT(expected.size(), 500u);
  EXPECT_EQ(analysisOf(0), expected);
}

TEST(HomonymReplace, MatchesOnlyWholeCharacters) {
  // [81 41][81 61] holds the bytes 41 81 across two characters: no match there.
  EXPECT_EQ(replaceMorpheme("\x81\x41\x81\x61", 99, "\x41\x81", "X"), std::nullopt);
  EXPECT_EQ(replaceMorpheme("ab/NNG + b/NNG", 9, "b", "b01"), "ab/NNG + b01/NNG");
  EXPECT_EQ(replaceMorpheme("ab/NNG", 0, "b", "b01"), "ab01/NNG");  // stale offset: first match
  EXPECT_EQ(homonymKey(k("가~")), k("가"));
  EXPECT_EQ(homonymKey("~"), "~");
  EXPECT_EQ(homonymKey(k("사과") + "\x81\x41"), k("사과") + "\x81\x41");  // never cut
  // 0x40 cannot stand second: the lead byte is a stray byte and "@" a marker of its own.
  EXPECT_EQ(homonymKey("\x81\x40"), "\x81");
}

}  // namespace
}  // namespace selvanor

namespace selvanor {
namespace {

TEST_F(HomonymCorrection, AnUnreadableDictionaryStopsTheRunInsteadOfPassingWordsOver) {
  write({{"S1", k("사과"), k("사과/NNG")},
         {"S2", k("사과"), k("사과/NNG")},
         {"S3", k("사과"), k("사과/NNG")}});
  chooser.answers = {k("사과02"), k("사과01"), k("사과01")};
  dictionary.failFrom = 3;  // the third row's look-up finds the file unreadable
  EXPECT_EQ(run(), CorrectionOutcome::DictionaryFailed);
  EXPECT_EQ(analysisOf(0), k("사과02/NNG"));  // chosen before the failure: kept
  EXPECT_EQ(analysisOf(1), k("사과01/NNG"));
  EXPECT_EQ(analysisOf(2), k("사과/NNG"));  // never asked
  EXPECT_EQ(chooser.morphemes.size(), 2u);
}

}  // namespace
}  // namespace selvanor
