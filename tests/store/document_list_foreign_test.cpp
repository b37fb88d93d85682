// A document list that is not CP949 text is refused, never read as garbage paths.
#include <gtest/gtest.h>

#include <string>

#include "store/corpus/document_list.h"
#include "support/test_support.h"

namespace selvanor::corpus {
namespace {

TEST(DocumentListForeign, RefusedWithWhatItLooksLikeAndLeftAsItWas) {
  test::ScratchDir dir;
  const std::string listFile = dir.file("dblist.dat");
  const std::string utf8 = "1\xEA\xB7\xB8\xEB\xA3\xB9\n2/data/\xEB\xAC\xB8\xED\x97\x8C.id\n";  // 그룹, 문헌
  const struct {
    std::string bytes;
    const char* looksLike;
  } cases[] = {
      {utf8, "UTF-8로 된 파일로 보입니다. CP949로 바꾸어 주십시오."},
      {"\xEF\xBB\xBF" "1G\n2/a.id\n", "UTF-8(BOM 있음)로 된 파일로 보입니다. CP949로 바꾸어 주십시오."},
      {std::string("\xFF\xFE" "1\0G\0\n\0", 8), "UTF-16(LE)로 된 파일로 보입니다. CP949로 바꾸어 주십시오."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.looksLike);
    test::writeFile(listFile, c.bytes);
    DocumentList list;
    const ListResult r = list.load(listFile, false);
    EXPECT_EQ(r.status, ListStatus::kCannotOpen);
    EXPECT_TRUE(list.groups().empty());
    EXPECT_EQ(list.loadReport().foreignText, c.looksLike);
    EXPECT_EQ(loadFailedMessage(listFile, list.loadReport()),
              listFile + " 생성 실패 " + c.looksLike);
    EXPECT_EQ(test::readFile(listFile), c.bytes);
  }
  // A CP949 list loads as before, and its failure message has no hint.
  test::writeFile(listFile, "1G\n2/a.id\n");
  DocumentList list;
  ASSERT_TRUE(list.load(listFile, false));
  EXPECT_EQ(loadFailedMessage(listFile, list.loadReport()), listFile + " 생성 실패");
}

}  // namespace
}  // namespace selvanor::corpus
