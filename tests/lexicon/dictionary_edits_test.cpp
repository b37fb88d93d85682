#include "lexicon/dictionary_edits.h"

#include <gtest/gtest.h>

#include "common/diagnostics.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;

HomonymSense sense(std::string_view head, std::string_view numbered, std::string_view meaning) {
  return {k(head), k(numbered), " ", k(meaning)};
}

class DictionaryEdits : public ::testing::Test {
 protected:
  std::vector<std::string> numberedForms(std::string_view head) {
    std::vector<HomonymSense> senses;
    (void)dic.getDongum(path, k(head), senses);
    std::vector<std::string> out;
    for (const HomonymSense& s : senses) out.push_back(test::u(s.numberedForm));
    return out;
  }
  test::ScratchDir dir;
  std::string path = dir.file("h.dic");
  homonym::HomonymDictionary dic;
  DiagnosticCapture diag;
};

TEST_F(DictionaryEdits, ModifiedSenseReplacesTheOldOneAtTheEndOfItsList) {
  ASSERT_EQ(dic.addDongumRec(path, sense("시장", "시장01", "market")), result::kOk);
  ASSERT_EQ(dic.addDongumRec(path, sense("시장", "시장02", "mayor")), result::kOk);
  const EditOutcome out =
      homonym::modifySense(dic, path, sense("시장", "시장01", "market"), sense("시장", "시장03", "hunger"));
  EXPECT_TRUE(out.ok());
  EXPECT_EQ(out.message, nullptr);
  EXPECT_EQ(numberedForms("시장"), (std::vector<std::string>{"시장02", "시장03"}));
}

TEST_F(DictionaryEdits, ANumberedFormTakenElsewhereIsRefusedBeforeAnythingChanges) {
  ASSERT_EQ(dic.addDongumRec(path, sense("시장", "시장01", "market")), result::kOk);
  ASSERT_EQ(dic.addDongumRec(path, sense("시장", "시장02", "mayor")), result::kOk);
  const EditOutcome out =
      homonym::modifySense(dic, path, sense("시장", "시장01", "market"), sense("시장", "시장02", "x"));
  EXPECT_EQ(out.code, result::kAlreadyExists);
  EXPECT_TRUE(out.refused);
  EXPECT_STREQ(out.message, homonym::msg::kDuplicate);
  EXPECT_EQ(numberedForms("시장"), (std::vector<std::string>{"시장01", "시장02"}));

  // The same numbered form with a new meaning is no duplicate of itself.
  EXPECT_TRUE(homonym::modifySense(dic, path, sense("시장", "시장01", "market"),
                                   sense("시장", "시장01", "fair"))
                  .ok());
}

TEST_F(DictionaryEdits, AMissingDictionaryIsSaidSoAndNotCreated) {
  const EditOutcome out = homonym::modifySense(dic, dir.file("none.dic"), sense("가", "가01", "a"),
                                               sense("가", "가02", "b"));
  EXPECT_EQ(out.code, result::kOpenError);
  EXPECT_STREQ(out.message, homonym::msg::kCannotOpen);
  EXPECT_EQ(homonym::addOrRemoveMessage(result::kKeyNotFound), nullptr);
  EXPECT_EQ(homonym::addOrRemoveMessage(result::kAlreadyExists), nullptr);
  EXPECT_STREQ(homonym::addOrRemoveMessage(result::kInsertError), homonym::msg::kCannotWrite);
}

TEST_F(DictionaryEdits, UnregisteredEntryIsRenamedEvenWhenTheOldWordIsGone) {
  const std::string mdj = dir.file("u.mdj");
  ASSERT_EQ(unregistered::addMideungjae(mdj, k("갈치조림"), k("메모"), false), result::kOk);
  EXPECT_TRUE(unregistered::modifyEntry(mdj, {k("갈치조림"), k("메모")}, {k("갈치구이"), k("새 메모")}).ok());
  EXPECT_TRUE(unregistered::modifyEntry(mdj, {k("없는말"), ""}, {k("고등어"), k("비고")}).ok());
  std::vector<unregistered::Entry> entries;
  ASSERT_EQ(unregistered::FindMideungjae(mdj, "", entries), unregistered::kMideungjaeFound);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].word, k("갈치구이"));
  EXPECT_EQ(entries[0].note, k("새 메모"));
  EXPECT_EQ(entries[1].word, k("고등어"));
  EXPECT_STREQ(unregistered::modifyEntry(dir.file("none.mdj"), {k("가"), ""}, {k("나"), ""}).message,
               unregistered::msg::kCannotOpen);
}

}  // namespace
}  // namespace selvanor
