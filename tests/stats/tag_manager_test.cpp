#include "stats/tag_manager.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace selvanor::test {
namespace {

using Strings = std::vector<std::string>;

const char* const kTagFile =
    "품사 태그 (free comment text)\n\n"
    "#1 체언\n#2 일반명사 / nng \n#2 고유명사/NNP\n"
    "#1 용언\n#2 동사/VV\n"
    "#1 수식언\n#2 관형사/MM\n"
    "#1 독립 언\n#2 감탄사/IC\n"
    "#1 관계언\n#2 격조사/JK\n#3 주격조사/JKS\n#3 목적격조사/jko\n"
    "#1 의존형태\n#2 어미/E\n#3 선어말어미/EP\n#3 종결어미/EF\n"
    "#1 기타\n#2 통계가치가 있는 범주/X\n#3 숫자/SN\n#3 기타기호/SW\n";

// One field of every node, as UTF-8 for readable failures.
Strings field(const std::vector<TagNode>* nodes, std::string TagNode::*member) {
  Strings out;
  if (nodes == nullptr) return out;
  for (const TagNode& n : *nodes) out.push_back(u(n.*member));
  return out;
}
Strings utf8(const Strings& cp949) {
  Strings out;
  for (const std::string& s : cp949) out.push_back(u(s));
  return out;
}

class TagSetTest : public ::testing::Test {
 protected:
  // Loads the text and keeps the result's error (empty on success).
  bool load(const std::string& utf8Text, const char* name = "tag.txt") {
    writeFile(dir.file(name), k(utf8Text));
    const TagLoadResult loaded = tags.Load(dir.file(name));
    error = loaded.error;
    return loaded.ok;
  }
  Strings tags2() { return field(tags.GetClassList(2), &TagNode::tag); }
  Strings tags3() { return field(tags.GetClassList(3), &TagNode::tag); }
  ScratchDir dir;
  TagManager tags;
  std::string error;
};

using TagFileParsing = TagSetTest;

TEST_F(TagFileParsing, BuildsClassTreeAndFlatLists) {
  ASSERT_TRUE(load(kTagFile)) << error;
  EXPECT_TRUE(tags.IsLoaded());
  const auto& classes = *tags.GetClassList(1);
  EXPECT_EQ(field(&classes, &TagNode::name),
            (Strings{"체언", "용언", "수식언", "독립 언", "관계언", "의존형태", "기타"}));
  const TagNode& noun = classes[0].children[0];
  EXPECT_EQ(noun.level, 2);
  EXPECT_EQ(u(noun.name), "일반명사");  // blanks around "/" trimmed
  EXPECT_EQ(noun.tag, "NNG");           // raised to upper case
  EXPECT_EQ(field(&classes[4].children[0].children, &TagNode::tag), (Strings{"JKS", "JKO"}));
  EXPECT_EQ(tags2(), (Strings{"NNG", "NNP", "VV", "MM", "IC", "JK", "E", "X"}));
  EXPECT_EQ(tags3(), (Strings{"JKS", "JKO", "EP", "EF", "SN", "SW"}));
  EXPECT_EQ(tags.GetClassList(3)->at(0).level, 3);
}

TEST_F(TagFileParsing, CrLfAndMissingFinalLineEndGiveSameLists) {
  std::string crlf;
  for (const char* p = kTagFile; *p; ++p)
    crlf += (*p == '\n') ? std::string("\r\n") : std::string(1, *p);
  crlf.resize(crlf.size() - 2);
  ASSERT_TRUE(load(kTagFile));
  const Strings names2 = field(tags.GetClassList(2), &TagNode::name), t2 = tags2(), t3 = tags3();
  ASSERT_TRUE(load(crlf, "crlf.txt"));
  EXPECT_EQ(field(tags.GetClassList(2), &TagNode::name), names2);
  EXPECT_EQ(tags2(), t2);
  EXPECT_EQ(tags3(), t3);
}

// A set without tags would make every check flag every record: such a file is an error.
TEST_F(TagFileParsing, FileWithoutTagsIsAnError) {
  const struct {
    std::string text;
    const char* error;
  } cases[] = {
      {"주석만 있는 파일\r\n\r\n또 한 줄", " 태그 파일에서 태그를 하나도 읽지 못했습니다."},
      {"#1 체언\n#1 용언\n", " 태그 파일에서 태그를 하나도 읽지 못했습니다."},
      {"", " 태그 파일이 비어 있습니다."},
      {" \r\n\t\n", " 태그 파일이 비어 있습니다."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(load(kTagFile));
    EXPECT_FALSE(load(c.text, "empty.txt"));
    EXPECT_EQ(error, dir.file("empty.txt") + c.error);
    EXPECT_TRUE(tags.IsLoaded());
    EXPECT_TRUE(tags.GetClassList(1)->empty());
    EXPECT_TRUE(tags.AllTags().empty());
    EXPECT_EQ(tags.FindEntry(k("체언")), nullptr);
  }
}

TEST_F(TagFileParsing, ForeignTextIsRefusedWithWhatItLooksLike) {
  const std::string utf8 = "#1 \xEC\xB2\xB4\xEC\x96\xB8\n#2 \xEB\xAA\x85/NNG\n";  // 체언, 명
  const struct {
    std::string bytes;
    const char* looksLike;
  } cases[] = {
      {utf8, "UTF-8로 된 파일로 보입니다."},
      {"\xEF\xBB\xBF" + utf8, "UTF-8(BOM 있음)로 된 파일로 보입니다."},
      {std::string("\xFF\xFE#\0" "1\0 \0", 8), "UTF-16(LE)로 된 파일로 보입니다."},
      {std::string(100000, '\0'), "이진 파일로 보입니다"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.looksLike);
    writeFile(dir.file("foreign.txt"), c.bytes);
    const TagLoadResult loaded = tags.Load(dir.file("foreign.txt"));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(loaded.error.rfind(dir.file("foreign.txt") + " 파일을 태그 파일로 읽을 수 없습니다. ", 0),
              0u) << loaded.error;
    EXPECT_NE(loaded.error.find(c.looksLike), std::string::npos) << loaded.error;
    EXPECT_TRUE(tags.AllTags().empty());
  }
  // An endless file is judged by its start, not read until memory runs out.
  const TagLoadResult zero = tags.Load("/dev/zero");
  EXPECT_FALSE(zero);
  EXPECT_NE(zero.error.find("이진 파일"), std::string::npos);
}

TEST_F(TagFileParsing, StructuralErrorsKeepEntriesReadAndLeaveFlatListsEmpty) {
  const struct {
    const char* text;
    const char* error;
    std::size_t classesKept;
  } cases[] = {
      {"#2 명사/NNG\n", "레벨 1값이 입력되지 않은 상태에서 레벨2가 입력..", 0},
      {"#1 체언\n#3 명사/NNG\n", "레벨 2값이 입력되지 않은 상태에서 레벨3가 입력..", 1},
      {"#1 체언\n#4 명사\n", "#이후에 1,2,3 이외의 문자가 나옴..", 1},
      {"#1 체언\n#2 명사/NNG\n#x\n", "#이후에 1,2,3 이외의 문자가 나옴..", 1},
      {"#1 체언\n#2 명사/NNG\n#", "#이후에 1,2,3 이외의 문자가 나옴..", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_FALSE(load(c.text));
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(tags.IsLoaded());
    EXPECT_EQ(tags.GetClassList(1)->size(), c.classesKept);
    EXPECT_TRUE(tags2().empty());
  }
  EXPECT_NE(tags.FindTag("NNG"), nullptr);  // entries before the error still count
}

TEST_F(TagFileParsing, FieldBoundaries) {
  // A "#3" after a new class joins the previous class's last item; an item name runs to
  // the "/" across line ends; 0xFF ends a field inside an entry and the parse outside one.
  const std::string text = k("#1 가\r\n#2 첫\r\n둘/ab") + "\xFF" + "cd\n" + k("#1 나\n#3 셋/ef\n") +
                           "\xFF" + k("#1 뒤\n");
  writeFile(dir.file("t.txt"), text);
  const TagLoadResult loaded = tags.Load(dir.file("t.txt"));
  ASSERT_TRUE(loaded) << loaded.error;
  const auto& classes = *tags.GetClassList(1);
  ASSERT_EQ(classes.size(), 2u);
  EXPECT_EQ(u(classes[0].children[0].name), "첫\n둘");
  EXPECT_EQ(tags2(), Strings{"AB"});
  EXPECT_EQ(tags3(), Strings{"EF"});
  EXPECT_TRUE(classes[1].children.empty());
}

TEST_F(TagFileParsing, TwoByteCharactersAreNeverSplitOrUpperCased) {
  // 갂 = 81 41 and 갵 = 81 61: second bytes that look like "A" and "a".
  ASSERT_TRUE(load("#1 갂갵\n#2 갵갂/n갵a\n"));
  const TagNode& item = tags.GetClassList(1)->at(0).children.at(0);
  EXPECT_EQ(item.name, k("갵갂"));
  EXPECT_EQ(item.tag, "N" + k("갵") + "A");
  EXPECT_EQ(tags.FindTag("n" + k("갵") + "a"), &item);
}

TEST_F(TagFileParsing, OverlongFieldRejectsFile) {
  ASSERT_TRUE(load("#1 " + std::string(TagManager::kMaxFieldBytes, 'a') + "\n#2 b/B"));
  EXPECT_FALSE(
      load("#1 가\n#2 나/NA\n\n#2 다/" + std::string(TagManager::kMaxFieldBytes + 1, 'b')));
  EXPECT_NE(error.find("4번째 줄"), std::string::npos) << error;
  EXPECT_EQ(tags.GetClassList(1)->at(0).children.size(), 1u);
}

TEST_F(TagFileParsing, UnopenableFileLeavesTagSetUnchanged) {
  const std::string missing = dir.file("없는 파일.txt");
  const TagLoadResult loaded = tags.Load(missing);
  EXPECT_FALSE(loaded);
  EXPECT_EQ(loaded.error, missing + " 파일을 열 수 없습니다.");
  EXPECT_FALSE(tags.IsLoaded());
  ASSERT_TRUE(load(kTagFile));
  EXPECT_FALSE(tags.Load(dir.path()));  // a folder opens but cannot be read
  EXPECT_EQ(tags2().size(), 8u);
  ASSERT_TRUE(load("#1 가\n#2 나/QQ\n", "other.txt"));  // a new load replaces everything
  EXPECT_EQ(tags2(), Strings{"QQ"});
}

class TagLookup : public TagSetTest {
 protected:
  void SetUp() override { ASSERT_TRUE(load(kTagFile)); }
};

TEST_F(TagLookup, FindEntryIgnoresBlanksNotTabsAndKeepsToItsLevel) {
  const TagNode* cls = tags.FindEntry(k("독 립언"), 1);
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(u(cls->name), "독립 언");
  EXPECT_EQ(tags.FindEntry(k(" 독립언 "), 0), cls);
  EXPECT_EQ(tags.FindEntry(k("독립\t언"), 1), nullptr);
  EXPECT_EQ(tags.FindEntry(k("격조사"), 1), nullptr);
  EXPECT_EQ(tags.FindEntry(k("격조사"), 2)->tag, "JK");
  EXPECT_EQ(tags.FindEntry(k("주격조사"), 2), nullptr);
  EXPECT_EQ(tags.FindEntry(k("주격조사"), 3)->tag, "JKS");
  EXPECT_EQ(tags.FindEntry(k("주격조사"), 0)->tag, "JKS");
}

TEST_F(TagLookup, FindTagUpperCasesAndKeepsToItsLevel) {
  EXPECT_EQ(tags.FindTag("jks", 0)->level, 3);
  EXPECT_EQ(tags.FindTag("JKS", 2), nullptr);
  EXPECT_EQ(tags.FindTag("jk", 3), nullptr);
  EXPECT_EQ(tags.FindTag("JK", 2)->level, 2);
  EXPECT_EQ(tags.FindTag("NNG", 1), nullptr);
  EXPECT_EQ(tags.FindTag("J", 0), nullptr);
}

TEST_F(TagLookup, BadClassListStepGivesNoList) {
  EXPECT_EQ(tags.GetClassList(0), nullptr);
  EXPECT_EQ(tags.GetClassList(4), nullptr);
}

using TagLists = TagLookup;

TEST_F(TagLists, FixedListsCollectTheirClassesInOrder) {
  EXPECT_EQ(utf8(tags.AllTags()),
            (Strings{"NNG", "NNP", "VV", "MM", "IC", "JKS", "JKO", "EP", "EF", "SN", "SW"}));
  // 수식 언 and 독 립언 find the classes written 수식언 and 독립 언.
  EXPECT_EQ(tags.ContentTags(), (Strings{"NNG", "NNP", "VV", "MM", "IC", "SN", "SW"}));
  EXPECT_EQ(tags.RelationalTags(), (Strings{"JKS", "JKO", "EP", "EF"}));
  EXPECT_EQ(tags.MarkerSymbols(), (Strings{"*", "&", "#", "@", "%"}));
}

TEST_F(TagLists, CollectTagsAppendsAndFirstSameNamedItemWins) {
  ASSERT_TRUE(load("#1 가\n#2 공통/AA\n#3 하위/AB\n#1 나\n#2 공통/BB\n#2 단독/CC\n", "dup.txt"));
  Strings collected{"X"};
  tags.CollectTags(k("나"), 1, collected);
  tags.CollectTags(k("하위"), 3, collected);
  tags.CollectTags(k("없음"), 2, collected);
  EXPECT_EQ(collected, (Strings{"X", "AB", "CC", "AB"}));
}

TEST_F(TagLists, ListGrowsPastOneHundredTags) {
  std::string text = "#1 가\n";
  for (int i = 0; i < 150; ++i)
    text += "#2 n" + std::to_string(i) + "/T" + std::to_string(i) + "\n";
  ASSERT_TRUE(load(text, "big.txt"));
  const Strings all = tags.AllTags();
  ASSERT_EQ(all.size(), 150u);
  EXPECT_EQ(all.back(), "T149");
  // Each list is a value of its own: asking for another leaves it as it was.
  const Strings relational = tags.RelationalTags();
  EXPECT_EQ(all.size(), 150u);
  EXPECT_TRUE(relational.empty());
}

}  // namespace
}  // namespace selvanor::test
