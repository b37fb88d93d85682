// What the storage engine's safety (locks, remembered verdicts, logs while changing) costs
// on a large document, each figure beside its floor measured in the same run:
//  - a read-only walk of a document this program built, and of one it just changed,
//    beside the same walk through a bare Berkeley DB handle (no lock, no verdict);
//  - a 5-record merge, a homonym dictionary add and a grid edit, beside the same writes as
//    one transaction in a bare environment kept open (the change itself);
//  - the first verification of a file from elsewhere, beside db5.3_verify on it.
//
//   bench_engine [--tokens N] [--corpus FILE] [--dir DIR]     (default 10^6 records)
#include <db.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench_support.h"
#include "common/files.h"
#include "lexicon/homonym_dictionary.h"
#include "store/document/document_build.h"
#include "store/document/document_merge.h"
#include "store/document/document_writer.h"
#include "store/document/document_writer.h"
#include "store/engine/codecs.h"
#include "store/engine/integrity.h"
#include "store/engine/storage.h"
#include "store/grid/grid_edits.h"
#include "store/grid/row_cache.h"

using namespace selvanor;
using namespace selvanor::bench;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The shortest of `rounds` timed calls of `work(round)` in milliseconds; -1 when a call
// fails (returns false).
template <typename Work>
double bestOf(int rounds, Work&& work) {
  double best = -1;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    if (!work(round)) return -1;
    const double ms = msSince(start);
    if (best < 0 || ms < best) best = ms;
  }
  return best;
}

// The floor of a read-only command: the same cursor walk (same cache, same buffers)
// through a bare handle, without lock, verdict or log look-up.
long bareWalk(const std::string& file) {
  DB* db = nullptr;
  long n = 0;
  if (db_create(&db, nullptr, 0) != 0) return -1;
  db->set_flags(db, DB_RECNUM);
  db->set_pagesize(db, Storage::kPageSize);
  db->set_cachesize(db, 0, Storage::kDefaultCacheBytes, 1);
  if (db->open(db, nullptr, file.c_str(), nullptr, DB_BTREE, 0, 0) == 0) {
    DBC* c = nullptr;
    DBT k{}, v{};
    k.flags = v.flags = DB_DBT_REALLOC;
    if (db->cursor(db, nullptr, &c, 0) == 0) {
      while (c->get(c, &k, &v, DB_NEXT) == 0) {
        if (codec::decodeRecord({static_cast<const char*>(v.data), v.size})) ++n;
      }
      c->close(c);
    }
    std::free(k.data);
    std::free(v.data);
  }
  db->close(db, 0);
  return n;
}

long storageWalk(const std::string& file) {
  Storage s;
  long n = 0;
  if (!s.openWithCursor(file, nullptr, OpenMode::ExistingOnly)) return -1;
  for (bool more = s.first(); more; more = s.next()) {
    if (codec::decodeRecord(s.value())) ++n;
  }
  return n;
}

// The change itself: `count` puts as one transaction, log and pages synced, in a bare
// environment that stays open (no lock, no log folder made or removed, no verdict), on a
// copy of `file` whose log stamps are cleared first; the best of five.
double bareChangeMs(const std::string& dir, const std::string& file, int count) {
  const std::string home = dir + "/bare-env";
  fs::remove_all(home);
  fs::create_directories(home);
  const std::string copy = home + "/copy.db";
  fs::copy_file(file, copy);
  DB_ENV* env = nullptr;
  DB* db = nullptr;
  double best = -1;
  if (db_env_create(&env, 0) == 0 &&
      env->open(env, home.c_str(),
                DB_CREATE | DB_INIT_LOG | DB_INIT_MPOOL | DB_INIT_TXN | DB_PRIVATE, 0) == 0 &&
      env->lsn_reset(env, "copy.db", 0) == 0 && db_create(&db, env, 0) == 0 &&
      db->open(db, nullptr, "copy.db", nullptr, DB_BTREE, DB_AUTO_COMMIT, 0) == 0) {
    best = bestOf(5, [&](int round) {
      DB_TXN* txn = nullptr;
      env->txn_begin(env, nullptr, &txn, 0);
      for (int i = 0; i < count; ++i) {
        const std::string key = "BAREKEY" + std::to_string(round * 100 + i);
        const std::string value = codec::encodeTriple(key, "w", "a/NNG");
        DBT k{const_cast<char*>(key.data()), static_cast<u_int32_t>(key.size())};
        DBT v{const_cast<char*>(value.data()), static_cast<u_int32_t>(value.size())};
        db->put(db, txn, &k, &v, 0);
      }
      return txn->commit(txn, 0) == 0 && db->sync(db, 0) == 0;
    });
  }
  if (db) db->close(db, 0);
  if (env) env->close(env, 0);
  fs::remove_all(home);
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  long tokens = 1000000;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  std::string dir = (fs::temp_directory_path() / "selvanor-bench-engine").string();
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--tokens")) tokens = std::atol(argv[i + 1]);
    if (!std::strcmp(argv[i], "--corpus")) corpus = argv[i + 1];
    if (!std::strcmp(argv[i], "--dir")) dir = argv[i + 1];
  }
  fs::remove_all(dir);
  fs::create_directories(dir);
  // The remembered verdicts of this run only.
  ::setenv("XDG_CACHE_HOME", (dir + "/cache").c_str(), 1);
  const auto tokenList = loadTokens(corpus);
  const std::string text = dir + "/corpus.txt";
  writeNumberedText(text, tokenList, tokens);
  const std::string doc = dir + "/a.id";
  DocumentBuilder builder;
  if (builder.makeBunsukDB(text, doc, "", SerialMode::Numbered, false) != result::kOk) {
    std::fprintf(stderr, "build failed\n");
    return 1;
  }
  std::printf("engine costs on %ld records (%.0f MB)\n", tokens, fs::file_size(doc) / 1e6);

  auto walkRow = [&](const char* what) {
    double best = 1e18, bestBare = 1e18;
    for (int round = 0; round < 3; ++round) {
      auto t = Clock::now();
      const long n = storageWalk(doc);
      best = std::min(best, msSince(t));
      t = Clock::now();
      const long m = bareWalk(doc);
      bestBare = std::min(bestBare, msSince(t));
      if (n != m) std::printf("  walks disagree: %ld vs %ld\n", n, m);
    }
    std::printf("%-44s %9.1f ms   bare handle %9.1f ms   ratio %.3f\n", what, best, bestBare,
                best / bestBare);
  };
  walkRow("read-only walk, just built");

  // Five records merged in: the whole merge beside the five puts as one bare transaction.
  const std::string five = dir + "/five.id";
  {
    DocumentWriter w(five);
    if (!w.open()) return 1;
    for (int i = 0; i < 5; ++i) {
      if (!w.put({"ZZZZ" + std::to_string(i), "w", "a/NNG"})) return 1;
    }
    if (!w.finish()) return 1;
  }
  const double mergeMs =
      bestOf(5, [&](int) { return merge::mergeBunsukDB(doc, five) == result::kOk; });
  if (mergeMs < 0) return 1;
  const double bareMs = bareChangeMs(dir, doc, 5);
  std::printf("%-44s %9.1f ms   bare change %9.1f ms   beyond it %.1f ms\n",
              "5-record merge (best of 5)", mergeMs, bareMs, mergeMs - bareMs);
  walkRow("read-only walk, just changed");

  // A grid edit: open the grid, one removal made durable.
  {
    RowCache grid;
    if (grid.open(doc) <= 0) return 1;
    const double first =
        bestOf(1, [&](int) { return gridedit::removeRow(grid, static_cast<int>(tokens / 2)); });
    const double second = bestOf(5, [&](int round) {
      return gridedit::removeRow(grid, static_cast<int>(tokens / 3) + round);
    });
    if (first < 0 || second < 0) return 1;
    std::printf("%-44s %9.1f ms   next edits %8.1f ms   beyond the bare change %.1f ms\n",
                "grid edit (the first takes the log)", first, second, first - bareMs);
  }

  // A homonym dictionary add on a dictionary of a size users keep.
  {
    const std::string dic = dir + "/homonyms.dic";
    {
      Storage s;
      if (!s.open(dic)) return 1;
      for (int i = 0; i < 100000; ++i) {
        const std::string head = "HEAD" + std::to_string(i);
        if (!s.put(head, codec::encodeList({codec::encodeQuad({head, head + "01", " ", "m"})}))) {
          return 1;
        }
      }
      if (!s.close()) return 1;
    }
    homonym::HomonymDictionary d;
    const double addMs = bestOf(5, [&](int round) {
      const std::string head = "HEADX" + std::to_string(round);
      return d.addDongumRec(dic, {head, head + "01", " ", "meaning"}) == result::kOk;
    });
    if (addMs < 0) return 1;
    const double bareAdd = bareChangeMs(dir, dic, 1);
    std::printf("%-44s %9.1f ms   bare change %9.1f ms   beyond it %.1f ms\n",
                "homonym dictionary add (best of 5)", addMs, bareAdd, addMs - bareAdd);
  }

  // A file from elsewhere: the first open verifies it; db5.3_verify on the same file.
  const std::string foreign = dir + "/foreign.id";
  fs::copy_file(doc, foreign, fs::copy_options::overwrite_existing);
  auto t = Clock::now();
  const bool sound = integrity::check(foreign) == integrity::Verdict::Sound;
  const double verifyMs = msSince(t);
  t = Clock::now();
  const std::string command = "db5.3_verify -q '" + foreign + "' >/dev/null 2>&1";
  const int rc = std::system(command.c_str());
  const double peerMs = msSince(t);
  std::printf("%-44s %9.1f ms   db5.3_verify %9.1f ms   ratio %.3f%s\n",
              "first verification of a foreign file", verifyMs, peerMs, verifyMs / peerMs,
              sound && rc == 0 ? "" : "   (verdicts differ!)");
  fs::remove_all(dir);
  return 0;
}
