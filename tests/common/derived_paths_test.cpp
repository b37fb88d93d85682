#include "common/derived_paths.h"

#include <gtest/gtest.h>

namespace selvanor {
namespace {

// Every name derived from a document, for ".id" documents exactly the traditional ones.
TEST(DerivedPaths, OneNamePerDerivedFile) {
  struct Case {
    const char* document;
    const char* reference;
    const char* statistics;
    const char* text;
  };
  const Case cases[] = {
      {"/d/a.id", "/d/a.idx", "/d/a.stt", "/d/a.txt"},
      {"a.id", "a.idx", "a.stt", "a.txt"},
      {"/말뭉치/가.id", "/말뭉치/가.idx", "/말뭉치/가.stt", "/말뭉치/가.txt"},
      {"/d/a.ID", "/d/a.IDx", "/d/a.stt", "/d/a.txt"},  // as the builds have named it
      {"/d/corpus.db", "/d/corpus.idx", "/d/corpus.stt", "/d/corpus.txt"},
      {"/d/corpus.data", "/d/corpus.idx", "/d/corpus.stt", "/d/corpus.txt"},
      {"/d/corpus", "/d/corpus.idx", "/d/corpus.stt", "/d/corpus.txt"},
      {"/말뭉치/문서", "/말뭉치/문서.idx", "/말뭉치/문서.stt", "/말뭉치/문서.txt"},
      {"/d.v/a", "/d.v/a.idx", "/d.v/a.stt", "/d.v/a.txt"},  // a dot in a folder is no extension
      {"/d/b.c.id", "/d/b.c.idx", "/d/b.c.stt", "/d/b.c.txt"},
      {"", "", "", ""},
      {"/d/", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(derived::referenceFile(c.document), c.reference) << c.document;
    EXPECT_EQ(derived::statisticsFile(c.document), c.statistics) << c.document;
    EXPECT_EQ(derived::documentTextFile(c.document), c.text) << c.document;
  }
}

TEST(DerivedPaths, WorkingFiles) {
  EXPECT_EQ(derived::referenceTextFile("/d/참조.idx"), "/d/참조.txt");
  EXPECT_EQ(derived::referenceTextFile("/d.x/ref"), "/d.x/ref.txt");
  EXPECT_EQ(derived::documentOfReference("/d/a.idx"), "/d/a.id");
  EXPECT_EQ(derived::documentOfReference("/d/a"), "/d/a.id");
  EXPECT_EQ(derived::builtDocument("/d/a.txt"), "/d/a.id");
  EXPECT_EQ(derived::numberedCopy("/d/corpus.txt"), "/d/corpus_new.txt");
  EXPECT_EQ(derived::numberedCopy("/d.x/corpus"), "/d.x/corpus_new.txt");
  EXPECT_EQ(derived::correctionWorkingFile("/d/sujeong.txt"), "/d/sujeong.fix");
  EXPECT_EQ(derived::homonymDictionary("/a.b/homonym.txt"), "/a.b/homonym.dic");
  EXPECT_EQ(derived::homonymDictionary("/a.b/homonym"), "/a.b/homonym.dic");
}

}  // namespace
}  // namespace selvanor
