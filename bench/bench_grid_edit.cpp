// A grid edit made durable (RowCache + gridedit::rewrite: remove and add as one logged
// change, committed with its log synced and the pages written) on a generated document,
// beside its floor: the same remove-and-add as one transaction in a bare Berkeley DB
// environment, committed and synced the same way. Also shown: the edit as it was before it
// was logged (a plain handle, remove and add each synced, not atomic), and the first open
// of the document (the verifier's pass and the log folder's set-up).
//
//   bench_grid_edit [--tokens N] [--edits E] [--corpus FILE] [--dir DIR]
//
// Default 10^6 records and 100 edits; text cycles through the bundled sample (or FILE).
#include <db.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/diagnostics.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/engine/change_log.h"
#include "store/engine/codecs.h"
#include "store/grid/grid_edits.h"
#include "store/engine/integrity.h"
#include "store/grid/row_cache.h"
#include "store/engine/storage.h"

using namespace selvanor;
using namespace selvanor::bench;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The floor: one transaction per edit in a bare environment (log synced at commit, the
// file's pages synced after), as a hand-written program would make it durable.
struct BareEnvironment {
  DB_ENV* env = nullptr;
  DB* db = nullptr;
  bool open(const std::string& home, const std::string& file) {
    std::filesystem::create_directories(home);
    if (db_env_create(&env, 0) != 0) return false;
    if (env->open(env, home.c_str(),
                  DB_CREATE | DB_INIT_LOG | DB_INIT_MPOOL | DB_INIT_TXN | DB_PRIVATE, 0) != 0) {
      return false;
    }
    if (env->lsn_reset(env, file.c_str(), 0) != 0) return false;
    if (db_create(&db, env, 0) != 0) return false;
    return db->open(db, nullptr, file.c_str(), nullptr, DB_BTREE, DB_AUTO_COMMIT, 0) == 0;
  }
  bool edit(const std::string& key, const std::string& value) {
    DB_TXN* txn = nullptr;
    if (env->txn_begin(env, nullptr, &txn, 0) != 0) return false;
    DBT k{}, v{};
    k.data = const_cast<char*>(key.data());
    k.size = static_cast<u_int32_t>(key.size());
    v.data = const_cast<char*>(value.data());
    v.size = static_cast<u_int32_t>(value.size());
    if (db->del(db, txn, &k, 0) != 0 || db->put(db, txn, &k, &v, 0) != 0) {
      txn->abort(txn);
      return false;
    }
    return txn->commit(txn, 0) == 0 && db->sync(db, 0) == 0;
  }
  void close() {
    if (db) db->close(db, 0);
    if (env) env->close(env, 0);
    db = nullptr;
    env = nullptr;
  }
  ~BareEnvironment() { close(); }
};

}  // namespace

int main(int argc, char** argv) {
  long tokens = 1000000;
  int edits = 100;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  std::string dir = "/tmp";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--tokens") && i + 1 < argc) tokens = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--edits") && i + 1 < argc) edits = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--corpus") && i + 1 < argc) corpus = argv[++i];
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--tokens N] [--edits E] [--corpus FILE] [--dir DIR]\n",
                   argv[0]);
      return 2;
    }
  }
  const std::vector<Token> words = loadTokens(corpus);
  if (words.empty() || tokens < 10 || edits < 1) {
    std::fprintf(stderr, "no tokens in %s, or too few records or edits\n", corpus.c_str());
    return 1;
  }
  setDiagnosticSink([](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  const std::string base = dir + "/selvanor-bench-edit-" + std::to_string(getpid());
  writeNumberedText(base + ".txt", words, tokens);
  DBWrap db;
  if (db.makeBunsukDB(base + ".txt", base + ".id", "", SerialMode::Numbered, false) != result::kOk ||
      !copyFile(base + ".id", base + "-floor.id") || !copyFile(base + ".id", base + "-plain.id")) {
    std::fprintf(stderr, "could not build the document\n");
    return 1;
  }
  removeFile(base + ".txt");
  std::printf("document of %ld records, %ld bytes; %d edits each\n", tokens,
              static_cast<long>(std::filesystem::file_size(base + ".id")), edits);

  // First open: verification and the log folder, then the window's first fill.
  integrity::forgetAll();
  auto start = std::chrono::steady_clock::now();
  RowCache cache;
  if (cache.open(base + ".id") != tokens) {
    std::fprintf(stderr, "could not open the document\n");
    return 1;
  }
  std::printf("first open (verify, log folder, first window): %.1f ms\n",
              secondsSince(start) * 1000);

  const auto rowOf = [&](int i) { return static_cast<int>((tokens / (edits + 1)) * (i + 1)); };
  start = std::chrono::steady_clock::now();
  int stored = 0;
  for (int i = 0; i < edits; ++i) {
    const std::optional<AnalysisRecord> old = cache.readRecord(rowOf(i));
    if (!old) continue;
    AnalysisRecord edited = *old;
    edited.analysis += " + " + std::to_string(i);
    stored += gridedit::rewrite(cache, rowOf(i), *old, edited) ? 1 : 0;
  }
  const double editMs = secondsSince(start) * 1000 / edits;
  cache.close();

  BareEnvironment floor;
  if (!floor.open(base + "-floor.home", base + "-floor.id")) {
    std::fprintf(stderr, "could not open the floor's environment\n");
    return 1;
  }
  Storage reader;
  if (!reader.open(base + "-floor.id", nullptr, OpenMode::ExistingOnly)) return 1;
  start = std::chrono::steady_clock::now();
  int floorStored = 0;
  for (int i = 0; i < edits; ++i) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "BENCH01%06d0", rowOf(i));
    std::string value = reader.get(serial) ? std::string(reader.value()) : std::string("x");
    value += "+";
    floorStored += floor.edit(serial, value) ? 1 : 0;
  }
  const double floorMs = secondsSince(start) * 1000 / edits;

  // Before the log: remove and add through a plain handle, each synced, not atomic.
  DocumentCursor plain;
  if (plain.open(base + "-plain.id", OpenMode::ExistingOnly) != result::kOk) return 1;
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < edits; ++i) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "BENCH01%06d0", rowOf(i));
    (void)plain.removeLine(serial);
    (void)plain.addLine(serial, "w", std::to_string(i));
  }
  const double plainMs = secondsSince(start) * 1000 / edits;

  std::printf("grid edit, durable:            %.2f ms per edit (%d stored; target < 20 ms)\n",
              editMs, stored);
  std::printf("floor, bare environment:       %.2f ms per edit (%d stored); edit / floor = %.2f\n",
              floorMs, floorStored, editMs / floorMs);
  std::printf("before, plain and not atomic:  %.2f ms per edit; edit / before = %.2f\n", plainMs,
              editMs / plainMs);
  plain.close();
  (void)reader.close();
  floor.close();
  for (const std::string& f : {base + ".id", base + "-floor.id", base + "-plain.id"}) {
    std::error_code ec;
    std::filesystem::remove_all(changelog::folderFor(f), ec);
    removeFile(f);
  }
  std::error_code ec;
  std::filesystem::remove_all(base + "-floor.home", ec);
  return 0;
}
