// Both reviews against the quadratic models of the original algorithms, on random
// documents of a few hundred records, with every pass size: the reports must be equal
// byte for byte.
#include <gtest/gtest.h>

#include "lexicon/analysis_review.h"
#include "common/derived_paths.h"
#include "review_test_support.h"
#include "store/reference/reference_file.h"

namespace selvanor {
namespace {

using test::k;
using test::readFile;
using test::Records;

class ReviewModel : public ::testing::TestWithParam<std::size_t> {
 protected:
  review::ReviewLimits limits() const {
    review::ReviewLimits l;
    l.contextsPerPass = GetParam();
    return l;
  }
  test::ScratchDir dir;
};

TEST_P(ReviewModel, WorkFileReviewEqualsTheQuadraticAlgorithm) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    test::RandomDocuments random(seed);
    const Records doc = random.document(150 + seed * 20, "S");
    const std::string path = dir.file("doc.id");
    test::writeDocument(path, doc);
    const std::string expected = test::modelWorkFileReview(doc);
    std::size_t groupsSeen = 0, occurrencesSeen = 0;
    const review::ReviewOutcome outcome = review::reviewWorkFile(
        dir.file("report.txt"), path,
        [&](const review::ReviewGroup& g) {
          ++groupsSeen;
          occurrencesSeen += g.occurrences.size();
        },
        limits());
    ASSERT_TRUE(outcome) << outcome.message;
    EXPECT_EQ(readFile(dir.file("report.txt")), expected) << "seed " << seed;
    EXPECT_EQ(outcome.groups, groupsSeen);
    EXPECT_EQ(outcome.lines, occurrencesSeen);
    EXPECT_GT(outcome.groups, 0u) << "the random documents should disagree somewhere";
  }
}

TEST_P(ReviewModel, ComparisonEqualsTheQuadraticAlgorithm) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    test::RandomDocuments random(seed * 7919);
    const Records refDoc = random.document(120 + seed * 15, "R");
    Records cmpDoc = random.document(200, "C");
    // Some serials the compared document shares with the reference document.
    for (std::size_t i = 0; i < 20; ++i) cmpDoc.push_back(refDoc[i]);
    const std::string refPath = dir.file("ref.id"), cmpPath = dir.file("cmp.id");
    test::writeDocument(refPath, refDoc);
    test::writeDocument(cmpPath, cmpDoc);
    const test::ReferenceEntries reference = test::entriesOf(refDoc);
    test::ReferenceEntries compared = test::entriesOf(cmpDoc);
    // A compared file merged from several documents lists items its own document lacks, and
    // may list an item twice; a word may also reach the compared file only.
    compared[refDoc[0].word].push_back({"ELSEWHERE1", refDoc[0].word, k("딴/VV")});
    compared[refDoc[1].word].push_back(compared[refDoc[1].word].front());
    compared[k("참조에없는")].push_back({"C1", k("참조에없는"), k("x/NNG")});
    test::writeReference(dir.file("ref.idx"), reference);
    test::writeReference(dir.file("cmp.idx"), compared);

    const std::string expected = test::modelComparison(reference, compared, refDoc, cmpDoc);
    const review::ReviewOutcome outcome = review::compareReferenceFiles(
        dir.file("report.txt"), dir.file("ref.idx"), dir.file("cmp.idx"), {}, limits());
    ASSERT_TRUE(outcome) << outcome.message;
    EXPECT_EQ(readFile(dir.file("report.txt")), expected) << "seed " << seed;
    EXPECT_GT(outcome.groups, 0u);
  }
}

TEST_P(ReviewModel, ComparisonOfReferenceFilesAsTheStoreBuildsThem) {
  test::RandomDocuments random(99);
  const Records a = random.document(400, "A"), b = random.document(300, "B");
  test::writeDocument(dir.file("a.id"), a);
  test::writeDocument(dir.file("b.id"), b);
  for (const char* doc : {"a.id", "b.id"}) {
    ASSERT_EQ(reference::buildReferenceFile(dir.file(doc), derived::referenceFile(dir.file(doc)), {}),
              result::kOk);
  }
  const review::ReviewOutcome outcome = review::compareReferenceFiles(
      dir.file("report.txt"), dir.file("a.idx"), dir.file("b.idx"), {}, limits());
  ASSERT_TRUE(outcome) << outcome.message;
  EXPECT_EQ(readFile(dir.file("report.txt")),
            test::modelComparison(test::entriesOf(a), test::entriesOf(b), a, b));
  EXPECT_EQ(outcome.withoutContext, 0u);
}

// One record per pass, a few, and the default (everything in one pass).
INSTANTIATE_TEST_SUITE_P(PassSizes, ReviewModel,
                         ::testing::Values(1, 7, review::ReviewLimits{}.contextsPerPass));

}  // namespace
}  // namespace selvanor
