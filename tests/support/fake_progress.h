// A progress sink for the core tests: records every report of an operation and can ask it
// to stop at a given report.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/progress.h"

namespace selvanor::test {

// Records every call; answers false from call `stopAt` on (0: never).
struct FakeSink {
  std::vector<std::uint64_t> done;
  std::vector<std::uint64_t> totals;
  std::size_t stopAt = 0;

  ProgressFn fn() {
    return [this](std::uint64_t d, std::uint64_t t) {
      done.push_back(d);
      totals.push_back(t);
      return stopAt == 0 || done.size() < stopAt;
    };
  }
  // Never falls back, ends at the whole, and the whole never changes.
  void expectAdvancesTo(std::uint64_t total) const {
    ASSERT_FALSE(done.empty());
    for (std::size_t i = 1; i < done.size(); ++i) {
      EXPECT_LE(done[i - 1], done[i]) << "call " << i;
      EXPECT_EQ(totals[i], totals[0]);
    }
    EXPECT_EQ(totals[0], total);
    EXPECT_EQ(done.back(), total);
    EXPECT_GT(done.size(), 2u);
  }
};

}  // namespace selvanor::test
