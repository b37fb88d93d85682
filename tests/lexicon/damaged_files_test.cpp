// Damaged database files (truncated, zeroed, flipped, overwritten, pages swapped) are
// refused or read whole: no crash, no hang, no read past a buffer, and never a success
// with records missing. Each variant runs in a child process under an alarm, so that a hang
// or a crash fails the case instead of the test binary.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>

#include "common/files.h"
#include "lexicon/homonym_dictionary.h"
#include "store/engine/codecs.h"
#include "store/interchange/document_export.h"
#include "store/document/document_merge.h"
#include "store/engine/integrity.h"
#include "store/reference/reference_file.h"
#include "store/engine/storage.h"
#include "support/test_support.h"

namespace selvanor {
namespace {

namespace fs = std::filesystem;

void writeDocument(const std::string& file, int first, int count) {
  Storage s;
  ASSERT_TRUE(s.open(file));
  for (int i = first; i < first + count; ++i) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "GSDT%08d0", i);
    const std::string analysis = test::k("먹/VV + 었/EP + 다/EF") +
                                 std::string(static_cast<std::size_t>(i % 7 == 0 ? 1500 : 8), 'x');
    ASSERT_TRUE(s.put(serial, codec::encodeTriple(serial, test::k("먹었다"), analysis)));
  }
  ASSERT_TRUE(s.close());
}

void writeHomonyms(const std::string& file, int count) {
  Storage s;
  ASSERT_TRUE(s.open(file));
  for (int i = 0; i < count; ++i) {
    const std::string head = test::k("시장") + std::to_string(i);
    std::vector<std::string> senses;
    for (int n = 1; n <= 3; ++n) {
      senses.push_back(codec::encodeQuad({head, head + "0" + std::to_string(n), " ", "m"}));
    }
    ASSERT_TRUE(s.put(head, codec::encodeList(senses)));
  }
  ASSERT_TRUE(s.close());
}

// Keys walked, or -1 when the walk ended on an error instead of the end of the file.
long walkedKeys(const std::string& file) {
  Storage s;
  if (!s.openWithCursor(file, nullptr, OpenMode::ExistingOnly)) return -1;
  long n = 0;
  for (bool more = s.first(); more; more = s.next()) ++n;
  return s.lastResult() == DB_NOTFOUND ? n : -1;
}

struct Kind {
  const char* name;
  ExportKind exportKind;
  std::function<void(const test::ScratchDir&, const std::string&)> make;
  // Changes the damaged file in place (a merge into it); the result does not matter.
  std::function<void(const test::ScratchDir&, const std::string&)> change;
};

std::vector<Kind> kinds() {
  return {
      {"document", ExportKind::Document,
       [](const test::ScratchDir&, const std::string& f) { writeDocument(f, 0, 3000); },
       [](const test::ScratchDir& d, const std::string& f) {
         writeDocument(d.file("added.id"), 2500, 400);
         (void)merge::mergeBunsukDB(f, d.file("added.id"));
       }},
      {"reference file", ExportKind::Reference,
       [](const test::ScratchDir& d, const std::string& f) {
         writeDocument(d.file("source.id"), 0, 3000);
         ASSERT_EQ(reference::buildReferenceFile(d.file("source.id"), f, {}), result::kOk);
       },
       [](const test::ScratchDir& d, const std::string& f) {
         writeDocument(d.file("more.id"), 100, 300);
         ASSERT_EQ(reference::buildReferenceFile(d.file("more.id"), d.file("more.ref"), {}),
                   result::kOk);
         (void)reference::mergeWonmunDB(f, d.file("more.ref"));
       }},
      {"homonym dictionary", ExportKind::Homonym,
       [](const test::ScratchDir&, const std::string& f) { writeHomonyms(f, 3000); },
       [](const test::ScratchDir& d, const std::string& f) {
         writeHomonyms(d.file("more.dic"), 50);
         homonym::HomonymDictionary dic;
         std::vector<HomonymSense> senses;
         (void)dic.getDongum(f, test::k("시장") + "7", senses);
         (void)dic.mergeDongumDB(f, d.file("more.dic"));
       }},
  };
}

struct Damage {
  std::string name;
  std::function<void(std::string&)> apply;  // on the file's bytes
};

std::vector<Damage> damages(std::size_t size) {
  constexpr std::size_t kPage = 4096;
  const std::size_t pages = size / kPage;
  std::vector<Damage> out;
  for (const std::size_t keep : {size - 1, size - kPage, size / 2, kPage + 100, std::size_t(100)}) {
    out.push_back({"truncated to " + std::to_string(keep), [keep](std::string& b) { b.resize(keep); }});
  }
  for (const std::size_t page : {std::size_t(0), std::size_t(1), std::size_t(2), pages / 2, pages - 1}) {
    out.push_back({"zeroed page " + std::to_string(page), [page](std::string& b) {
                     std::fill_n(b.begin() + static_cast<long>(page * kPage), kPage, '\0');
                   }});
  }
  std::mt19937 rng(7);
  for (int i = 0; i < 10; ++i) {
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, size - 1)(rng);
    const int bit = std::uniform_int_distribution<int>(0, 7)(rng);
    out.push_back({"bit " + std::to_string(bit) + " of byte " + std::to_string(at) + " flipped",
                   [at, bit](std::string& b) { b[at] = static_cast<char>(b[at] ^ (1 << bit)); }});
  }
  for (int i = 0; i < 4; ++i) {
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, size - 512)(rng);
    const unsigned seed = rng();
    out.push_back({"random block at " + std::to_string(at), [at, seed](std::string& b) {
                     std::mt19937 fill(seed);
                     for (std::size_t j = 0; j < 512; ++j) b[at + j] = static_cast<char>(fill());
                   }});
  }
  for (const auto& [p, q] : {std::pair<std::size_t, std::size_t>{1, 2}, {pages / 2, pages / 2 + 1}}) {
    out.push_back({"pages " + std::to_string(p) + " and " + std::to_string(q) + " swapped",
                   [p = p, q = q](std::string& b) {
                     std::swap_ranges(b.begin() + static_cast<long>(p * kPage),
                                      b.begin() + static_cast<long>((p + 1) * kPage),
                                      b.begin() + static_cast<long>(q * kPage));
                   }});
  }
  return out;
}

// Runs `body` in a child under an alarm; the child's exit code (0 when it passed), or a
// description of how it ended otherwise.
std::string inChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(60);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status)) return WEXITSTATUS(status) == 0 ? "" : "failed check " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) {
    return WTERMSIG(status) == SIGALRM ? "hung" : "died of signal " + std::to_string(WTERMSIG(status));
  }
  return "ended oddly";
}

TEST(DamagedFiles, AreRefusedOrReadWholeAndNeverCrashHangOrComeOutShort) {
  int refused = 0, variants = 0;
  for (const Kind& kind : kinds()) {
    test::ScratchDir dir;
    const std::string intact = dir.file("intact.db");
    kind.make(dir, intact);
    ASSERT_EQ(printDBcont(kind.exportKind, intact, dir.file("intact.txt")), result::kOk);
    const long wholeKeys = walkedKeys(intact);
    const std::string bytes = test::readFile(intact);
    for (const Damage& damage : damages(bytes.size())) {
      SCOPED_TRACE(std::string(kind.name) + ", " + damage.name);
      ++variants;
      test::ScratchDir work;
      const std::string damaged = work.file("damaged.db");
      std::string spoilt = bytes;
      damage.apply(spoilt);
      test::writeFile(damaged, spoilt);
      integrity::forgetAll();
      // 1: the export either fails or walks every record (a flipped byte inside a record's
      // text is not damage the file can tell); 2: the change does not crash.
      const std::string how = inChild([&] {
        const ResultCode rc = printDBcont(kind.exportKind, damaged, work.file("out.txt"));
        if (rc == result::kOk && walkedKeys(damaged) != wholeKeys) return 1;
        kind.change(work, damaged);
        return 0;
      });
      EXPECT_EQ(how, "");
      Storage probe;
      if (!probe.open(damaged, nullptr, OpenMode::ExistingOnly)) ++refused;
    }
  }
  // Most damage is caught up front (a flipped bit inside a record's text is not damage
  // the file can tell).
  EXPECT_GT(refused, variants / 2);
}

TEST(DamagedFiles, ASoundFileIsVerifiedOnceAndAChangedOneAgain) {
  test::ScratchDir dir;
  const std::string doc = dir.file("doc.id");
  writeDocument(doc, 0, 100);
  // Old enough for the verdict to be remembered.
  const auto past = fs::file_time_type::clock::now() - std::chrono::seconds(10);
  fs::last_write_time(doc, past);
  integrity::forgetAll();
  EXPECT_EQ(integrity::check(doc), integrity::Verdict::Sound);
  // The same bytes damaged behind the verdict's back, with size and time put back: only
  // the inode's change time tells, and it does.
  std::string bytes = test::readFile(doc);
  std::fill_n(bytes.begin() + 4096, 4096, '\0');
  {
    std::FILE* f = std::fopen(doc.c_str(), "r+b");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  fs::last_write_time(doc, past);
  EXPECT_EQ(integrity::check(doc), integrity::Verdict::Damaged);
  EXPECT_EQ(integrity::check(dir.file("missing.id")), integrity::Verdict::NotADatabase);
  test::writeFile(dir.file("text.id"), "not a database\n");
  EXPECT_EQ(integrity::check(dir.file("text.id")), integrity::Verdict::NotADatabase);
}

}  // namespace
}  // namespace selvanor
