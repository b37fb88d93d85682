#include "stats/report_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>

#include "support/test_support.h"

namespace selvanor::stats {
namespace {

using test::k;
// (item, tag, count) of each row, as printed.
using Printed = std::vector<std::tuple<std::string, std::string, long long>>;
using Sorted = std::map<std::string, std::map<std::string, long long>>;  // tag -> item -> count

Printed printed(const std::vector<ReportRow>& rows, const std::vector<std::string>& scope) {
  Printed out;
  for (const ReportRow& r : rows) {
    out.emplace_back(std::string(r.item), r.tag == kNoTag ? "" : scope[r.tag], r.cell->count);
  }
  return out;
}

CountTable tableOf(const Sorted& s) {
  CountTable t;
  for (const auto& [tag, items] : s) {
    (void)t.column(tag);  // an empty tag is an empty column
    for (const auto& [item, count] : items) t.add(tag, item, Cell{count, {}});
  }
  return t;
}

long long largestOf(const Sorted& s) {
  long long largest = 0;
  for (const auto& [tag, items] : s) {
    for (const auto& [item, count] : items) largest = std::max(largest, count);
  }
  return largest;
}

// The report walks as first specified, over key-ordered files: one pass per count value
// for frequency order; the distinct morphemes of every tag for item order.
Printed modelFrequency(const Sorted& s, const std::vector<std::string>& scope, bool descending) {
  Printed out;
  const long long largest = largestOf(s);
  for (long long i = 1; i <= largest; ++i) {
    const long long f = descending ? largest + 1 - i : i;
    for (const std::string& tag : scope) {
      const auto column = s.find(tag);
      if (column == s.end()) continue;
      for (const auto& [item, count] : column->second) {
        if (count == f) out.emplace_back(item, tag, count);
      }
    }
  }
  return out;
}

Printed modelItems(const Sorted& s, const std::vector<std::string>& scope, bool descending) {
  std::set<std::string> morphemes;  // every tag of the total, scope or not
  for (const auto& [tag, items] : s) {
    for (const auto& [item, count] : items) morphemes.insert(item);
  }
  std::vector<std::string> order(morphemes.begin(), morphemes.end());
  if (descending) std::reverse(order.begin(), order.end());
  Printed out;
  for (const std::string& m : order) {
    for (const std::string& tag : scope) {
      const auto column = s.find(tag);
      if (column == s.end()) continue;
      const auto it = column->second.find(m);
      if (it != column->second.end()) out.emplace_back(m, tag, it->second);
    }
  }
  return out;
}

Sorted randomCounts(std::mt19937& rng, const std::vector<std::string>& tags) {
  // Few letters and small counts: many ties, shared morphemes across tags, CP949 bytes.
  const std::vector<std::string> letters = {"a", "B", k("가"), k("갂"), k("갵"), "#"};
  std::uniform_int_distribution<int> letter(0, static_cast<int>(letters.size()) - 1);
  std::uniform_int_distribution<int> length(1, 3), count(1, 6), size(0, 40);
  Sorted s;
  for (const std::string& tag : tags) {
    const int n = size(rng);
    for (int i = 0; i < n; ++i) {
      std::string item;
      for (int l = length(rng); l > 0; --l) item += letters[static_cast<std::size_t>(letter(rng))];
      s[tag][item] = count(rng);
    }
  }
  return s;
}

TEST(ReportOrder, OneSortGivesThePassPerCountOrderInBothDirections) {
  std::mt19937 rng(20240611);
  const std::vector<std::string> scope = {"T2", "T1", "T3"};  // not in key order
  for (int round = 0; round < 200; ++round) {
    const Sorted s = randomCounts(rng, {"T1", "T2", "T3", "TX"});
    const CountTable t = tableOf(s);
    for (bool descending : {false, true}) {
      ASSERT_EQ(printed(taggedRows(t, scope, SortKey::Frequency, descending), scope),
                modelFrequency(s, scope, descending))
          << "round " << round << (descending ? " descending" : " ascending");
      ASSERT_EQ(printed(taggedRows(t, scope, SortKey::Item, descending), scope),
                modelItems(s, scope, descending))
          << "round " << round;
      // A vocabulary column is a tagged table with one unnamed tag.
      const Sorted single = {{"", s.count("T1") ? s.at("T1") : std::map<std::string, long long>{}}};
      ASSERT_EQ(
          printed(vocabularyRows(*tableOf(single).find(""), SortKey::Frequency, descending), {""}),
          modelFrequency(single, {""}, descending))
          << "round " << round;
    }
  }
}

TEST(ReportOrder, TiesKeepAscendingItemsAndTagOrderSortsTheTags) {
  const Sorted s = {{"NNG", {{"b", 2}, {"a", 2}, {"c", 1}}}, {"JKO", {{"a", 1}, {"z", 2}}}};
  const CountTable t = tableOf(s);
  const std::vector<std::string> scope = {"NNG", "JKO"};
  using P = Printed;
  EXPECT_EQ(printed(vocabularyRows(*t.find("NNG"), SortKey::Frequency, true), {""}),
            (P{{"a", "", 2}, {"b", "", 2}, {"c", "", 1}}));
  EXPECT_EQ(printed(vocabularyRows(*t.find("NNG"), SortKey::Frequency, false), {""}),
            (P{{"c", "", 1}, {"a", "", 2}, {"b", "", 2}}));
  EXPECT_EQ(printed(vocabularyRows(*t.find("NNG"), SortKey::Item, true), {""}),
            (P{{"c", "", 1}, {"b", "", 2}, {"a", "", 2}}));
  EXPECT_TRUE(vocabularyRows(*t.find("NNG"), SortKey::Tag, false).empty());
  // Tag order: tags by their bytes (not list order), each tag's items ascending.
  EXPECT_EQ(
      printed(taggedRows(t, scope, SortKey::Tag, false), scope),
      (P{{"a", "JKO", 1}, {"z", "JKO", 2}, {"a", "NNG", 2}, {"b", "NNG", 2}, {"c", "NNG", 1}}));
  EXPECT_EQ(
      printed(taggedRows(t, scope, SortKey::Tag, true), scope),
      (P{{"a", "NNG", 2}, {"b", "NNG", 2}, {"c", "NNG", 1}, {"a", "JKO", 1}, {"z", "JKO", 2}}));
  // Item order: a morpheme under two scope tags gives adjacent rows in scope-list order.
  EXPECT_EQ(
      printed(taggedRows(t, scope, SortKey::Item, true), scope),
      (P{{"z", "JKO", 2}, {"c", "NNG", 1}, {"b", "NNG", 2}, {"a", "NNG", 2}, {"a", "JKO", 1}}));
}

}  // namespace
}  // namespace selvanor::stats
