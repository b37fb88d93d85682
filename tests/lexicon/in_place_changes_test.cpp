// Every change made to a file in place (merges, dictionary edits) leaves it with the old
// or the new content, whole and readable, when the program is killed at any moment or the
// disk fills up.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "common/files.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/unregistered_dictionary.h"
#include "store/engine/codecs.h"
#include "store/document/document_merge.h"
#include "store/reference/reference_file.h"
#include "store/engine/change_log.h"
#include "store/engine/io_seam.h"
#include "store/engine/storage.h"
#include "store/grid/grid_edits.h"
#include "store/grid/row_cache.h"
#include "support/file_size_limit.h"
#include "support/stored_records.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

namespace fs = std::filesystem;
using Content = test::StoredRecords;

Content contents(const std::string& file) { return test::storedRecords(file); }
bool verifies(const std::string& file) { return test::verifiesWithBerkeleyDb(file); }

void writeRecords(const std::string& file, const Content& records) {
  Storage s;
  ASSERT_TRUE(s.open(file));
  for (const auto& [key, value] : records) ASSERT_TRUE(s.put(key, value));
  ASSERT_TRUE(s.close());
}

std::string serial(int i) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "GSDT%08d0", i);
  return buf;
}

Content document(int first, int count, const std::string& analysisTail) {
  Content records;
  for (int i = first; i < first + count; ++i) {
    const std::string word = test::k("먹었다") + std::to_string(i % 97);
    records[serial(i)] = codec::encodeTriple(
        serial(i), word, test::k("먹/VV + 었/EP + 다/EF") + analysisTail + std::to_string(i % 13));
  }
  return records;
}

Content homonyms(int first, int count, const std::string& meaning) {
  Content records;
  for (int i = first; i < first + count; ++i) {
    const std::string head = test::k("시장") + std::to_string(i);
    std::vector<std::string> senses;
    for (int n = 1; n <= 3; ++n) {
      senses.push_back(codec::encodeQuad(
          {head, head + "0" + std::to_string(n), " ", meaning + std::to_string(i * 3 + n)}));
    }
    records[head] = codec::encodeList(senses);
  }
  return records;
}

// One in-place change: the files it starts from, and the change itself.
struct InPlaceChange {
  const char* name;
  std::function<void(const test::ScratchDir&)> prepare;  // writes base (and added) files
  std::function<ResultCode(const test::ScratchDir&)> run;
  const char* target;  // the changed file's name in the folder
  // A change made of two committed steps: the first alone (its result is a state a kill
  // may leave too).
  std::function<ResultCode(const test::ScratchDir&)> firstStep = nullptr;
};

// A document merge of `added` records (half of them new) into `base`.
InPlaceChange documentMerge(int base, int added) {
  return {"document merge",
          [base, added](const test::ScratchDir& d) {
            writeRecords(d.file("base.id"), document(0, base, "a"));
            writeRecords(d.file("added.id"), document(base / 2, added, "b"));
          },
          [](const test::ScratchDir& d) {
            return merge::mergeBunsukDB(d.file("base.id"), d.file("added.id"));
          },
          "base.id"};
}

// One sense added to a homonym dictionary of `headwords` head words.
InPlaceChange homonymAdd(int headwords) {
  return {"homonym add",
          [headwords](const test::ScratchDir& d) {
            writeRecords(d.file("base.dic"), homonyms(0, headwords, test::k("시장")));
          },
          [](const test::ScratchDir& d) {
            homonym::HomonymDictionary dic;
            return dic.addDongumRec(d.file("base.dic"),
                                    {test::k("시장") + "7", test::k("시장") + "709", " ",
                                     std::string(3000, 'm')});
          },
          "base.dic"};
}

std::vector<InPlaceChange> changes() {
  return {
      documentMerge(3000, 30000),
      {"reference merge",
       [](const test::ScratchDir& d) {
         writeRecords(d.file("a.id"), document(0, 3000, "a"));
         writeRecords(d.file("b.id"), document(1000, 20000, "b"));
         ASSERT_EQ(reference::buildReferenceFile(d.file("a.id"), d.file("base.ref"), {}),
                   result::kOk);
         ASSERT_EQ(reference::buildReferenceFile(d.file("b.id"), d.file("added.ref"), {}),
                   result::kOk);
       },
       [](const test::ScratchDir& d) {
         return reference::mergeWonmunDB(d.file("base.ref"), d.file("added.ref"));
       },
       "base.ref"},
      {"homonym merge",
       [](const test::ScratchDir& d) {
         writeRecords(d.file("base.dic"), homonyms(0, 3000, test::k("시장")));
         writeRecords(d.file("added.dic"), homonyms(2000, 12000, test::k("장터")));
       },
       [](const test::ScratchDir& d) {
         homonym::HomonymDictionary dic;
         return dic.mergeDongumDB(d.file("base.dic"), d.file("added.dic"));
       },
       "base.dic"},
      homonymAdd(3000),
      {"unregistered merge",
       [](const test::ScratchDir& d) {
         Content base, added;
         for (int i = 0; i < 4000; ++i) base[serial(i)] = "note" + std::to_string(i);
         for (int i = 3000; i < 60000; ++i) added[serial(i)] = "other" + std::to_string(i);
         writeRecords(d.file("base.mdj"), base);
         writeRecords(d.file("added.mdj"), added);
       },
       [](const test::ScratchDir& d) {
         return unregistered::mergeMideungjaeDB(d.file("base.mdj"), d.file("added.mdj"));
       },
       "base.mdj"},
  };
}

struct Outcomes {
  Content before, after;
  std::optional<Content> between;
};

// The change's content before and after, from an undisturbed run in a folder of its own.
Outcomes outcomes(const InPlaceChange& change) {
  test::ScratchDir dir;
  change.prepare(dir);
  Outcomes o;
  o.before = contents(dir.file(change.target));
  EXPECT_EQ(change.run(dir), result::kOk) << change.name;
  o.after = contents(dir.file(change.target));
  EXPECT_NE(o.before, o.after) << change.name;
  if (change.firstStep) {
    test::ScratchDir step;
    change.prepare(step);
    EXPECT_EQ(change.firstStep(step), result::kOk) << change.name;
    o.between = contents(step.file(change.target));
  }
  return o;
}

void expectOldOrNew(const std::string& file, const Outcomes& o, const std::string& what) {
  const Content now = contents(file);
  EXPECT_TRUE(now == o.before || now == o.after || (o.between && now == *o.between))
      << what << ": " << now.size() << " records, old " << o.before.size() << ", new "
      << o.after.size();
  EXPECT_TRUE(verifies(file)) << what;
}

// The same changes on files small enough that a kill can be placed at every write, sync
// and log write they make, through the engine's seam (counted, not timed).
std::vector<InPlaceChange> smallChanges() {
  return {
      documentMerge(60, 400),
      homonymAdd(200),
      {"grid edit",
       [](const test::ScratchDir& d) { writeRecords(d.file("base.id"), document(0, 300, "a")); },
       [](const test::ScratchDir& d) {
         RowCache cache;
         if (cache.open(d.file("base.id")) <= 0) return result::kOpenError;
         // Two edits: the second changes a file the first already logged.
         if (!gridedit::join(cache, 10) || !gridedit::removeRow(cache, 200)) {
           return result::kInsertError;
         }
         return result::kOk;
       },
       "base.id",
       [](const test::ScratchDir& d) {
         RowCache cache;
         if (cache.open(d.file("base.id")) <= 0) return result::kOpenError;
         return gridedit::join(cache, 10) ? result::kOk : result::kInsertError;
       }},
  };
}

TEST(InPlaceChanges, AKillAtEveryWriteLeavesTheOldOrTheNewContentAndNoLogFolder) {
  for (const InPlaceChange& change : smallChanges()) {
    const Outcomes o = outcomes(change);
    for (const seam::Call call : {seam::Call::PageWrite, seam::Call::LogWrite, seam::Call::Sync}) {
      // How many such calls the change makes, counted in an undisturbed run.
      int calls = 0;
      {
        test::ScratchDir dir;
        change.prepare(dir);
        seam::resetCounts();
        ASSERT_EQ(change.run(dir), result::kOk) << change.name;
        calls = seam::count(call);
        seam::disarm();
      }
      ASSERT_GT(calls + (call == seam::Call::PageWrite ? 0 : 1), 0) << change.name;
      for (int nth = 1; nth <= calls; ++nth) {
        test::ScratchDir dir;
        change.prepare(dir);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
          seam::arm({call, nth, seam::Effect::Die});
          (void)change.run(dir);
          ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        const std::string what = std::string(change.name) + " killed at call " +
                                 std::to_string(static_cast<int>(call)) + " #" + std::to_string(nth);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 137) << what;
        expectOldOrNew(dir.file(change.target), o, what);
        // The open that read it recovered what the kill left and took the folder away.
        Storage reopened;
        ASSERT_TRUE(reopened.open(dir.file(change.target), nullptr, OpenMode::ExistingOnly)) << what;
        EXPECT_FALSE(fs::exists(changelog::folderFor(dir.file(change.target)))) << what;
      }
    }
  }
}

TEST(InPlaceChanges, AFullDiskLeavesTheOldContentAndSaysTheChangeFailed) {
  for (const InPlaceChange& change : changes()) {
    const Outcomes o = outcomes(change);
    for (const std::uintmax_t room : {0u, 4096u, 65536u}) {
      test::ScratchDir dir;
      change.prepare(dir);
      const std::string target = dir.file(change.target);
      // The target may not grow (much): the log may, as long as the target's own pages
      // are what runs out of room.
      ResultCode rc;
      {
        test::PanicLeaksAllowed panic;
        test::FileSizeLimit limit(fs::file_size(target) + room);
        rc = change.run(dir);
      }
      const Content now = contents(target);
      if (rc == result::kOk) {
        EXPECT_EQ(now, o.after) << change.name << " reported success";
      } else {
        EXPECT_TRUE(now == o.before || now == o.after) << change.name << " room " << room;
      }
      EXPECT_TRUE(verifies(target)) << change.name;
    }
  }
}

}  // namespace
}  // namespace selvanor
