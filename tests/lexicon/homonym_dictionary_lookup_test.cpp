#include "facade/dbwrap.h"
#include "lexicon/homonym_dictionary_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/diagnostics.h"
#include "store/engine/storage.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

using test::k;

class DongumLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DBWrap db;
    ASSERT_EQ(db.addDongumRec(dic, {k("사과"), k("사과01"), k("沙果"), k("과일")}), result::kOk);
    ASSERT_EQ(db.addDongumRec(dic, {k("사과"), k("사과02"), " ", k("잘못을 빎")}), result::kOk);
    ASSERT_EQ(db.addDongumRec(dic, {k("배"), k("배01"), " ", k("몸")}), result::kOk);
  }
  static std::vector<std::string> forms(const std::vector<HomonymSense>& senses) {
    std::vector<std::string> out;
    for (const auto& s : senses) out.push_back(test::u(s.numberedForm));
    return out;
  }

  test::ScratchDir dir;
  DiagnosticCapture diag;
  std::string dic = dir.file("h.dic");
};

TEST_F(DongumLookupTest, GivesEverySenseInStoredOrderAndNothingForUnknownWords) {
  DongumLookup lookup(dic);
  ASSERT_TRUE(lookup.open());
  const auto senses = lookup.senses(k("사과"));
  EXPECT_EQ(forms(senses), (std::vector<std::string>{"사과01", "사과02"}));
  ASSERT_EQ(senses.size(), 2u);
  EXPECT_EQ(senses[0].headword, k("사과"));
  EXPECT_EQ(senses[0].hanja, k("沙果"));
  EXPECT_EQ(senses[1].meaning, k("잘못을 빎"));
  EXPECT_TRUE(lookup.senses(k("먹")).empty());
  EXPECT_TRUE(lookup.senses("").empty());
  EXPECT_EQ(forms(lookup.senses(k("배"))), (std::vector<std::string>{"배01"}));
  EXPECT_FALSE(lookup.unavailable());
}

TEST_F(DongumLookupTest, MissingOrUnopenableDictionaryIsRefusedAndNotCreated) {
  for (const std::string& path : {dir.file("missing.dic"), dir.path(), std::string()}) {
    SCOPED_TRACE(path);
    DongumLookup lookup(path);
    EXPECT_FALSE(lookup.open());
    EXPECT_TRUE(lookup.senses(k("사과")).empty());
    EXPECT_TRUE(lookup.unavailable());
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing.dic")));
}

TEST_F(DongumLookupTest, TextFileInsteadOfDictionaryIsRefused) {
  test::writeFile(dir.file("h.txt"), k("#1사과#2사과01#5과일\n"));
  DongumLookup lookup(dir.file("h.txt"));
  EXPECT_FALSE(lookup.open());
}

TEST_F(DongumLookupTest, ForeignDatabaseIsRefusedAtOpen) {
  // An analysis document chosen as the dictionary: its values are not sense lists.
  Storage doc;
  ASSERT_TRUE(doc.openWithCursor(dir.file("doc.id")));
  ASSERT_TRUE(doc.put(k("사과"), "not a list"));
  ASSERT_TRUE(doc.close());
  DongumLookup lookup(dir.file("doc.id"));
  EXPECT_FALSE(lookup.open());
  EXPECT_TRUE(lookup.senses(k("사과")).empty());
  EXPECT_TRUE(lookup.unavailable());
}

}  // namespace
}  // namespace selvanor
