#include "stats/count_table.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace selvanor::stats {
namespace {

std::map<std::string, long long> contentOf(const Column& c) {
  std::map<std::string, long long> out;
  for (const ColumnEntry e : c) out[std::string(e.item)] = e.cell->count;
  return out;
}

TEST(ItemColumn, AgreesWithAMapThroughGrowthAndRemovals) {
  // Random adds and removals over a small key space, so that probe chains run through
  // removed entries and removed items come back.
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> key(0, 3000), op(0, 9);
  Column column;
  std::map<std::string, long long> model;
  for (int i = 0; i < 60000; ++i) {
    const std::string item = "k" + std::to_string(key(rng));
    if (op(rng) < 2) {
      EXPECT_EQ(column.erase(item), model.erase(item) == 1);
    } else {
      column[item].count += 1;
      model[item] += 1;
    }
  }
  EXPECT_EQ(column.size(), model.size());
  EXPECT_EQ(contentOf(column), model);
  for (const auto& [item, count] : model) {
    const Cell* cell = column.find(item);
    ASSERT_NE(cell, nullptr) << item;
    EXPECT_EQ(cell->count, count);
  }
  EXPECT_EQ(column.find("absent"), nullptr);
  // A removed item comes back empty, in its first place.
  Column small;
  small["b"].count = 2;
  small["a"].count = 1;
  EXPECT_TRUE(small.erase("b"));
  EXPECT_FALSE(small.erase("b"));
  EXPECT_EQ(small.find("b"), nullptr);
  small["b"].count += 5;
  std::vector<std::string> order;
  for (const ColumnEntry e : small) order.emplace_back(e.item);
  EXPECT_EQ(order, (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(small.find("b")->count, 5);
  // Items are bytes: an empty item and one with a NUL are items like others.
  small[std::string_view("x\0y", 3)].count = 7;
  small[""].count = 8;
  EXPECT_EQ(small.find(std::string_view("x\0y", 3))->count, 7);
  EXPECT_EQ(small.find("x"), nullptr);
  EXPECT_EQ(small.find("")->count, 8);
}

TEST(CountTables, MergingAddsCountsAndRecordsDocuments) {
  CountTable folder, total;
  CountTable first;
  first.add("NNG", "A", Cell{2, {}});
  first.add("VV", "B", Cell{1, {}});
  mergeTmpTongDB(folder, first);
  mergeTmpTongDB(total, std::move(first), 0u);  // taken over whole: total was empty
  CountTable second;
  second.add("NNG", "A", Cell{3, {}});
  mergeTmpTongDB(folder, second);
  mergeTmpTongDB(total, std::move(second), 4u);
  EXPECT_EQ(folder.count("NNG", "A"), 5);
  EXPECT_EQ(total.count("NNG", "A"), 5);
  EXPECT_EQ(total.count("VV", "B"), 1);
  EXPECT_EQ(total.count("VV", "A"), 0);
  EXPECT_EQ(total.count("SW", "A"), 0);
  EXPECT_EQ(total.find("NNG")->find("A")->documents, (DocumentIds{0, 4}));
  EXPECT_EQ(total.find("VV")->find("B")->documents, (DocumentIds{0}));
  EXPECT_TRUE(folder.find("NNG")->find("A")->documents.empty());

  Cell cell{1, {1, 5}};
  addInto(cell, 2, {0, 5, 9});
  EXPECT_EQ(cell.count, 3);
  EXPECT_EQ(cell.documents, (DocumentIds{0, 1, 5, 9}));
  addDocument(cell, 3);
  addDocument(cell, 9);
  EXPECT_EQ(cell.documents, (DocumentIds{0, 1, 3, 5, 9}));
}

}  // namespace
}  // namespace selvanor::stats
