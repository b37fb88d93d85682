// The concordance against a plain model on random documents, the reference-file path,
// sorting with ties and the counts.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "analysis/concordance.h"
#include "facade/dbwrap.h"
#include "support/raw_documents.h"
#include "support/test_support.h"

namespace selvanor::analysis {
namespace {

using test::k;

// ---- the model: characters as codes, patterns as plain structures --------------------
std::vector<unsigned> codes(const std::string& s, bool fold = false) {
  std::vector<unsigned> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const auto d = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    const bool pair = c >= 0x81 && c <= 0xFE && ((d >= 0x41 && d <= 0x5A) || (d >= 0x61 && d <= 0x7A) || d >= 0x81);
    if (pair) {
      out.push_back(c * 256u + d);
      i += 2;
    } else {
      out.push_back(fold && c >= 'a' && c <= 'z' ? c - 32u : c);
      i += 1;
    }
  }
  return out;
}

struct MText {
  std::string text;  // empty: "*"
  bool lead = false, trail = false;
  std::string render() const { return text.empty() ? "*" : (lead ? "*" : "") + text + (trail ? "*" : ""); }
  bool matches(const std::string& value, bool fold) const {
    if (text.empty()) return true;
    const auto v = codes(value, fold), p = codes(text, fold);
    if (p.size() > v.size()) return false;
    for (std::size_t s = 0; s + p.size() <= v.size(); ++s) {
      if (!lead && s != 0) break;
      if (!trail && s + p.size() != v.size()) continue;
      if (std::equal(p.begin(), p.end(), v.begin() + static_cast<std::ptrdiff_t>(s))) return true;
    }
    return false;
  }
};

struct MMorpheme {
  std::string form, tag;
};
struct MRecord {
  std::string serial, word;
  std::vector<MMorpheme> morphemes;
};

struct MToken {
  enum { Word, Morphemes, Gap } kind = Word;
  MText word;
  std::vector<std::pair<MText, MText>> pieces;
  bool first = false, last = false;
  std::size_t lo = 1, hi = 1;
  std::string render() const {
    if (kind == Word) return "w:" + word.render();
    if (kind == Gap) return lo == 1 && hi == 1 ? "[]" : "[]{" + std::to_string(lo) + "," + std::to_string(hi) + "}";
    std::string s = first ? "^" : "";
    for (std::size_t i = 0; i < pieces.size(); ++i) s += (i ? "+" : "") + pieces[i].first.render() + "/" + pieces[i].second.render();
    return s + (last ? "$" : "");
  }
  bool matches(const MRecord& r) const {
    if (kind == Gap) return true;
    if (kind == Word) return word.matches(r.word, false);
    const auto& ms = r.morphemes;
    for (std::size_t s = 0; s + pieces.size() <= ms.size(); ++s) {
      if (first && s != 0) continue;
      if (last && s + pieces.size() != ms.size()) continue;
      bool all = true;
      for (std::size_t i = 0; i < pieces.size() && all; ++i) {
        all = pieces[i].first.matches(ms[s + i].form, false) && pieces[i].second.matches(ms[s + i].tag, true);
      }
      if (all) return true;
    }
    return false;
  }
};

// The end of the shortest match at `at`, or 0.
std::size_t modelMatch(const std::vector<MToken>& q, std::size_t t, const std::vector<MRecord>& doc, std::size_t at) {
  if (t == q.size()) return at;
  if (q[t].kind == MToken::Gap) {
    for (std::size_t n = q[t].lo; n <= q[t].hi && at + n <= doc.size(); ++n) {
      if (std::size_t end = modelMatch(q, t + 1, doc, at + n)) return end;
    }
    return 0;
  }
  if (at >= doc.size() || !q[t].matches(doc[at])) return 0;
  return modelMatch(q, t + 1, doc, at + 1);
}

class Concordance : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::vector<MRecord>& doc) {
    std::vector<AnalysisRecord> records;
    for (const MRecord& r : doc) {
      std::string analysis;
      for (std::size_t i = 0; i < r.morphemes.size(); ++i) {
        analysis += (i ? " + " : "") + r.morphemes[i].form + "/" + r.morphemes[i].tag;
      }
      records.push_back({r.serial, r.word, analysis});
    }
    const std::string path = dir.file(name);
    test::writeDocument(path, records);
    return path;
  }
  test::ScratchDir dir;
};

TEST_F(Concordance, MatchesThePlainModelOnRandomDocuments) {
  std::mt19937 rng(20261209);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  // Forms whose second bytes look like "A" and "a", next to the letters themselves.
  const std::vector<std::string> forms = {k("갂"), k("갵"), k("가"), "A", "a", k("가A"), k("갂가"), k("먹")};
  const std::vector<std::string> storedTags = {"NNG", "VV", "EP", "JKS", "nng"};
  const std::vector<std::string> tagTexts = {"NNG", "nng", "VV", "EP", "N", "G", "K"};

  std::vector<std::vector<MRecord>> docs(3);
  std::vector<std::string> paths;
  for (std::size_t d = 0; d < docs.size(); ++d) {
    const std::size_t size = d == 0 ? 0 : 20 + pick(60);
    for (std::size_t i = 0; i < size; ++i) {
      MRecord r;
      r.serial = "D" + std::to_string(d) + "R" + std::to_string(1000 + i);
      for (std::size_t m = 0, n = 1 + pick(3); m < n; ++m) {
        r.morphemes.push_back({forms[pick(forms.size())], storedTags[pick(storedTags.size())]});
        r.word += r.morphemes.back().form;
      }
      docs[d].push_back(r);
    }
    paths.push_back(write("doc" + std::to_string(d) + ".id", docs[d]));
  }
  auto text = [&](const std::vector<std::string>& pool) {
    MText t;
    if (pick(5) == 0) return t;
    t.text = pool[pick(pool.size())];
    t.lead = pick(3) == 0;
    t.trail = pick(3) == 0;
    return t;
  };

  std::size_t totalHits = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<MToken> q(1 + pick(3));
    for (std::size_t i = 0; i < q.size(); ++i) {
      MToken& t = q[i];
      const std::size_t kind = pick(5);
      if (kind == 0 && q.size() > 1) {
        t.kind = MToken::Gap;
        t.hi = pick(3);
        t.lo = i == 0 || i + 1 == q.size() ? t.hi : pick(t.hi + 1);
        if (t.hi == 0) t.lo = t.hi = 1;
      } else if (kind == 1) {
        t.kind = MToken::Word;
        t.word = text(forms);
      } else {
        t.kind = MToken::Morphemes;
        for (std::size_t p = 0, n = 1 + pick(2); p < n; ++p) t.pieces.push_back({text(forms), text(tagTexts)});
        t.first = pick(4) == 0;
        t.last = pick(4) == 0;
      }
    }
    std::string typed;
    for (const MToken& t : q) typed += (typed.empty() ? "" : " ") + t.render();
    QueryParse parsed = parseQuery(typed, nullptr);
    ASSERT_TRUE(parsed) << test::u(typed) << ": " << describe(parsed.error);

    ConcordanceRequest request;
    request.query = *parsed.query;
    request.documents = paths;
    request.context = 2;
    const ConcordanceResult result = runConcordance(request);

    std::vector<std::string> expected, got;
    for (std::size_t d = 0; d < docs.size(); ++d) {
      for (std::size_t s = 0; s < docs[d].size(); ++s) {
        const std::size_t end = modelMatch(q, 0, docs[d], s);
        if (!end) continue;
        std::string line = std::to_string(d) + " " + docs[d][s].serial + " |";
        for (std::size_t i = s >= 2 ? s - 2 : 0; i < s; ++i) line += " " + docs[d][i].word;
        line += " |";
        for (std::size_t i = s; i < end; ++i) line += " " + docs[d][i].word;
        line += " |";
        for (std::size_t i = end; i < end + 2 && i < docs[d].size(); ++i) line += " " + docs[d][i].word;
        expected.push_back(line);
      }
    }
    for (const Hit& h : result.hits) {
      EXPECT_EQ(docs[h.document][h.record - 1].serial, h.serial);
      std::string line = std::to_string(h.document) + " " + h.serial + " |";
      for (const std::string& w : h.left) line += " " + w;
      line += " |";
      for (const std::string& w : h.words) line += " " + w;
      line += " |";
      for (const std::string& w : h.right) line += " " + w;
      got.push_back(line);
    }
    ASSERT_EQ(got, expected) << "query " << test::u(typed);
    EXPECT_EQ(result.totalHits, expected.size());
    totalHits += expected.size();
  }
  EXPECT_GT(totalHits, 500u);  // the queries found something to compare
}

TEST_F(Concordance, ExactWordsThroughTheReferenceFileGiveTheSameLines) {
  std::vector<MRecord> doc;
  for (int i = 0; i < 40; ++i) {
    const std::string w = i % 7 == 0 ? k("먹었다") : i % 3 == 0 ? k("갂") : k("밥을");
    doc.push_back({"S" + std::to_string(100 + i), w, {{w, "NNG"}}});
  }
  const std::string path = write("ref.id", doc);
  DBWrap db;
  for (const char* typed : {"w:먹었다", "w:먹었다 w:밥을", "w:먹었다 []{0,2} w:갂", "w:없는말"}) {
    ConcordanceRequest request;
    request.query = *db.parseYongryeQuery(k(typed), nullptr).query;
    request.documents = {path, dir.file("missing.id")};
    request.context = 3;
    request.useReference = false;
    const ConcordanceResult walked = db.findYongrye(request);
    ASSERT_EQ(db.makeWonmunDB(path), result::kOk);
    request.useReference = true;
    const ConcordanceResult looked = db.findYongrye(request);
    EXPECT_TRUE(looked.documents[0].throughReference) << typed;
    EXPECT_FALSE(walked.documents[0].throughReference);
    ASSERT_EQ(looked.hits.size(), walked.hits.size()) << typed;
    for (std::size_t i = 0; i < walked.hits.size(); ++i) {
      EXPECT_EQ(looked.hits[i].serial, walked.hits[i].serial);
      EXPECT_EQ(looked.hits[i].record, walked.hits[i].record);
      EXPECT_EQ(looked.hits[i].left, walked.hits[i].left);
      EXPECT_EQ(looked.hits[i].words, walked.hits[i].words);
      EXPECT_EQ(looked.hits[i].right, walked.hits[i].right);
    }
    EXPECT_EQ(looked.documents[0].tokens, 40u);
    // A missing document is named, and the others still count.
    EXPECT_NE(looked.documents[1].failure.find("missing.id"), std::string::npos);
    EXPECT_TRUE(looked.anyFailed());
  }
}

Hit hitWith(std::uint64_t order, std::vector<std::string> left, std::string word, std::vector<std::string> right) {
  Hit h;
  h.order = order;
  h.document = static_cast<std::uint32_t>(order / 10);
  h.left = std::move(left);
  h.words = {std::move(word)};
  h.right = std::move(right);
  return h;
}

TEST(ConcordanceSort, StableWithTiesInCp949Order) {
  // CP949 order: ASCII, then 갂 (0x8141), then 가 (0xB0A1), 나.
  EXPECT_LT(compareCp949("Z", k("갂")), 0);
  EXPECT_LT(compareCp949(k("갂"), k("가")), 0);
  EXPECT_LT(compareCp949(k("가"), k("가A")), 0);
  EXPECT_LT(compareCp949(k("갵"), k("가")), 0);
  EXPECT_EQ(compareCp949(k("나"), k("나")), 0);
  std::vector<Hit> hits = {
      hitWith(0, {k("나"), k("가")}, k("먹"), {k("나")}),
      hitWith(1, {k("가")}, k("갂"), {}),
      hitWith(2, {k("가"), k("가")}, k("먹"), {k("갂"), "A"}),
      hitWith(3, {}, k("가"), {k("나")}),
      hitWith(14, {k("나"), k("갂")}, k("먹"), {k("갂")}),
  };
  auto orderOf = [&](SortKey key) {
    sortHits(hits, key);
    std::vector<std::uint64_t> out;
    for (const Hit& h : hits) out.push_back(h.order);
    return out;
  };
  EXPECT_EQ(orderOf(SortKey::Left1), (std::vector<std::uint64_t>{3, 14, 0, 1, 2}));  // none, 갂, 가 x3 in order
  EXPECT_EQ(orderOf(SortKey::Left2), (std::vector<std::uint64_t>{1, 3, 2, 0, 14}));
  EXPECT_EQ(orderOf(SortKey::Hit), (std::vector<std::uint64_t>{1, 3, 0, 2, 14}));
  EXPECT_EQ(orderOf(SortKey::Right1), (std::vector<std::uint64_t>{1, 2, 14, 0, 3}));
  EXPECT_EQ(orderOf(SortKey::Right2), (std::vector<std::uint64_t>{0, 1, 3, 14, 2}));
  EXPECT_EQ(orderOf(SortKey::Document), (std::vector<std::uint64_t>{0, 1, 2, 3, 14}));
  EXPECT_EQ(sortKeyNamed("L3"), SortKey::Left3);
  EXPECT_FALSE(sortKeyNamed("L4"));
}

TEST_F(Concordance, LimitKeepsTheFirstInSortOrderAndCountsEveryHit) {
  std::vector<MRecord> doc;
  const std::vector<std::string> after = {k("나"), k("가"), k("다"), k("가"), k("갂")};
  for (std::size_t i = 0; i < 50; ++i) {
    const std::string w = i % 2 == 0 ? k("먹") : after[(i / 2) % after.size()];
    doc.push_back({"S" + std::to_string(100 + i), w, {{w, "VV"}}});
  }
  const std::string path = write("limit.id", doc);
  ConcordanceRequest request;
  request.query = *parseQuery(k("먹/VV"), nullptr).query;
  request.documents = {path};
  request.sort = SortKey::Right1;
  request.limit = 3;
  const ConcordanceResult r = runConcordance(request);
  EXPECT_EQ(r.totalHits, 25u);
  EXPECT_EQ(r.totalTokens, 50u);
  EXPECT_DOUBLE_EQ(r.perMillion(), 500000.0);
  EXPECT_DOUBLE_EQ(r.documents[0].perMillion(), 500000.0);
  ASSERT_EQ(r.hits.size(), 3u);
  // 갂 follows the hits at 8, 18, 28, ...: the first three of them in document order.
  EXPECT_EQ(r.hits[0].serial, "S108");
  EXPECT_EQ(r.hits[1].serial, "S118");
  EXPECT_EQ(r.hits[2].serial, "S128");
  EXPECT_EQ(r.hits[0].right.front(), k("갂"));
  EXPECT_EQ(r.hits[0].analysisText(), k("먹/VV"));
}

}  // namespace
}  // namespace selvanor::analysis
