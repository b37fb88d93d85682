#include "store/corpus/corpus_jobs.h"

#include <gtest/gtest.h>

#include "common/files.h"
#include "store/engine/document_cursor.h"
#include "support/test_support.h"

namespace selvanor::corpus {
namespace {

using test::k;
using test::readFile;

class CorpusJobs : public ::testing::Test {
 protected:
  std::string makeDocument(const std::string& name, std::string_view wordUtf8) {
    const std::string path = dir.file(name);
    DocumentCursor c;
    EXPECT_EQ(c.open(path), result::kOk);
    EXPECT_EQ(c.addLine("S1", k(wordUtf8), k(wordUtf8) + "/NNG"), result::kOk);
    return path;
  }
  static JobStep always() {
    return [](const std::string&) { return true; };
  }
  test::ScratchDir dir;
  DocumentList list;
};

TEST_F(CorpusJobs, TextExportWritesSiblingsAndNamesFailures) {
  const std::string a = makeDocument("a.id", "사과");
  const std::string missing = dir.file("missing.id");
  const std::string outcome = exportDocumentTexts(list, "", {a, missing}, always(),
                                                  [](const std::string&) { return true; });
  EXPECT_EQ(readFile(dir.file("a.txt")), "S1\t" + k("사과") + "\t" + k("사과/NNG") + "\n");
  EXPECT_FALSE(fileExists(dir.file("missing.txt")));
  EXPECT_NE(outcome.find(msg::kTextDone), std::string::npos);
  EXPECT_NE(outcome.find(missing), std::string::npos) << outcome;
}

TEST_F(CorpusJobs, TextExportNeverWritesOverTheOpenDocumentAndAsksBeforeReplacing) {
  const std::string a = makeDocument("a.id", "사과");
  // A document named like a's text file: the export must not replace it.
  const std::string open = makeDocument("a.txt", "배");
  const std::string before = readFile(open);
  const std::string outcome = exportDocumentTexts(list, open, {a}, always(),
                                                  [](const std::string&) { return true; });
  EXPECT_EQ(readFile(open), before);
  EXPECT_NE(outcome.find(a), std::string::npos) << outcome;

  const std::string b = makeDocument("b.id", "감");
  test::writeFile(dir.file("b.txt"), "kept");
  std::vector<std::string> asked;
  (void)exportDocumentTexts(list, "", {b}, always(), [&](const std::string& p) {
    asked.push_back(p);
    return false;
  });
  EXPECT_EQ(asked, std::vector<std::string>{dir.file("b.txt")});
  EXPECT_EQ(readFile(dir.file("b.txt")), "kept");
}

TEST_F(CorpusJobs, AStoppedJobLeavesTheRestUntouchedAndSaysSo) {
  const std::string a = makeDocument("a.id", "사과");
  const std::string b = makeDocument("b.id", "배");
  int steps = 0;
  const std::string outcome = exportDocumentTexts(
      list, "", {a, b}, [&](const std::string&) { return ++steps < 2; },
      [](const std::string&) { return true; });
  EXPECT_TRUE(fileExists(dir.file("a.txt")));
  EXPECT_FALSE(fileExists(dir.file("b.txt")));
  EXPECT_NE(outcome.find(kJobStopped), std::string::npos);

  const ExampleSearchOutcome examples = searchExamples(
      {a, b}, k("사과"), reference::ExampleField::Word, dir.file("ex.txt"),
      [](const std::string&) { return false; });
  EXPECT_NE(examples.message.find(kJobStopped), std::string::npos);
  EXPECT_TRUE(examples.outputWritten);
}

TEST_F(CorpusJobs, ExampleSearchGoesOnPastUnreadableDocumentsButNotPastAnUnwritableOutput) {
  const std::string a = makeDocument("a.id", "사과");
  const std::string missing = dir.file("missing.id");
  const std::string output = dir.file("ex.txt");
  ExampleSearchOutcome outcome =
      searchExamples({missing, a}, k("사과"), reference::ExampleField::Word, output, always());
  EXPECT_TRUE(outcome.outputWritten);
  EXPECT_NE(outcome.message.find(missing), std::string::npos);
  EXPECT_NE(readFile(output).find(k("사과")), std::string::npos);

  int visited = 0;
  outcome = searchExamples({a, a}, k("사과"), reference::ExampleField::Word,
                           dir.file("no/such/folder/ex.txt"), [&](const std::string&) {
                             ++visited;
                             return true;
                           });
  EXPECT_FALSE(outcome.outputWritten);
  EXPECT_EQ(visited, 1);
}

}  // namespace
}  // namespace selvanor::corpus
