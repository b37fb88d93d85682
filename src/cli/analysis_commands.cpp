// concordance, collocates.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/document_selection.h"
#include "cli/terminal.h"
#include "common/encoding.h"
#include "common/files.h"
#include "analysis/result_tables.h"
#include "facade/dbwrap.h"
#include "stats/tag_manager.h"

namespace selvanor::cli {
namespace {

struct QueryArgs {
  std::string query;  // UTF-8
  std::string tagFile;
  SelectionArgs selection;
  std::string output = "-";
};

// The text to standard output ("-") or to a file replaced only once it is written whole.
// Control bytes a terminal would act on are escaped wherever the text goes.
bool writeOutput(const std::string& output, const std::string& table) {
  const std::string text = escapeControls(table);
  if (isStandardOutput(output)) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0;
  }
  return analysis::writeTextFile(output, text);
}

int writeOrFail(const std::string& output, const std::string& text) {
  if (writeOutput(output, text)) return kExitOk;
  printMessage("결과 파일을 쓸 수 없습니다: " + output);
  return kExitFailed;
}

// The parsed query and the documents, or the exit code that ends the command.
struct Prepared {
  std::optional<analysis::Query> query;
  std::vector<std::string> documents;
  int exitCode = kExitOk;
};

Prepared prepare(DBWrap& db, const QueryArgs& a) {
  Prepared p;
  const std::optional<std::string> query = argumentToCp949(a.query);
  if (!query) {
    p.exitCode = kExitUsage;
    return p;
  }
  TagManager tags;
  if (!a.tagFile.empty()) {
    if (const TagLoadResult loaded = tags.Load(a.tagFile); !loaded) {
      printMessage(loaded.error);
      p.exitCode = kExitFailed;
      return p;
    }
  }
  analysis::QueryParse parsed = db.parseYongryeQuery(*query, a.tagFile.empty() ? nullptr : &tags);
  if (!parsed) {
    printMessage(analysis::describe(parsed.error));
    p.exitCode = kExitUsage;
    return p;
  }
  const Selection selection = selectDocuments(a.selection);
  if (selection.exitCode != kExitOk) {
    p.exitCode = selection.exitCode;
    return p;
  }
  p.query = std::move(*parsed.query);
  p.documents = selection.paths();
  for (const std::string& document : p.documents) {
    if (!isStandardOutput(a.output) && sameFile(a.output, document)) {
      printMessage("결과 파일이 찾을 문헌과 같은 파일입니다: " + a.output);
      p.exitCode = kExitUsage;
      return p;
    }
  }
  return p;
}

// Each document that could not be read whole, on standard error.
bool reportFailures(const std::vector<analysis::DocumentCount>& documents) {
  bool failed = false;
  for (const analysis::DocumentCount& d : documents) {
    if (d.failure.empty()) continue;
    printMessage(d.failure);
    failed = true;
  }
  return failed;
}

struct ConcordanceArgs {
  QueryArgs common;
  std::size_t context = 5;
  std::string sort = "doc";
  std::size_t limit = 0;
  bool count = false;
};

int runConcordance(const ConcordanceArgs& a) {
  DBWrap db;
  Prepared p = prepare(db, a.common);
  if (p.exitCode != kExitOk) return p.exitCode;
  const std::optional<analysis::SortKey> sort = analysis::sortKeyNamed(a.sort);
  if (!sort) {
    printMessage("--sort는 hit, L1, L2, L3, R1, R2, R3, doc 가운데 하나입니다: " + a.sort);
    return kExitUsage;
  }
  analysis::ConcordanceRequest request;
  request.query = std::move(*p.query);
  request.documents = p.documents;
  request.context = a.context;
  request.sort = *sort;
  // Counting keeps no lines at all: the counts cover every hit whatever is kept.
  request.limit = a.count ? 1 : a.limit;
  const analysis::ConcordanceResult result = db.findYongrye(request);

  std::string text;
  if (a.count) {
    text = analysis::countsTable(result);
  } else {
    text = analysis::kConcordanceHeader;
    for (const analysis::Hit& h : result.hits) text += analysis::concordanceLine(h, result.documents[h.document].path);
  }
  const int written = writeOrFail(a.common.output, text);
  const bool failed = reportFailures(result.documents);
  if (written != kExitOk || failed) return kExitFailed;
  return kExitOk;
}

struct CollocateArgs {
  QueryArgs common;
  std::string span = "5,5";
  std::string unit = "morpheme";
  std::uint64_t minimum = 1;
  std::string sort = "ll";
};

std::optional<std::pair<std::size_t, std::size_t>> spanOf(const std::string& text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  try {
    std::size_t used = 0, usedRight = 0;
    const std::string l = text.substr(0, comma), r = text.substr(comma + 1);
    if (l.empty() || r.empty() || l[0] == '-' || r[0] == '-') return std::nullopt;
    const unsigned long left = std::stoul(l, &used), right = std::stoul(r, &usedRight);
    if (used != l.size() || usedRight != r.size() || left > 50 || right > 50 || left + right == 0) return std::nullopt;
    return std::make_pair(static_cast<std::size_t>(left), static_cast<std::size_t>(right));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

int runCollocates(const CollocateArgs& a) {
  DBWrap db;
  const auto span = spanOf(a.span);
  if (!span) {
    printMessage("--span은 L,R 꼴의 0에서 50 사이 두 수입니다(둘 다 0일 수는 없습니다): " + a.span);
    return kExitUsage;
  }
  const auto unit = analysis::collocateUnitNamed(a.unit);
  if (!unit) {
    printMessage("--unit은 morpheme, word, tag 가운데 하나입니다: " + a.unit);
    return kExitUsage;
  }
  const auto sort = analysis::collocateSortNamed(a.sort);
  if (!sort) {
    printMessage("--sort는 mi, t, ll, logdice, o 가운데 하나입니다: " + a.sort);
    return kExitUsage;
  }
  Prepared p = prepare(db, a.common);
  if (p.exitCode != kExitOk) return p.exitCode;
  analysis::CollocationRequest request;
  request.query = std::move(*p.query);
  request.documents = p.documents;
  request.left = span->first;
  request.right = span->second;
  request.unit = *unit;
  request.minimum = a.minimum;
  request.sort = *sort;
  const analysis::CollocationResult result = db.findCollocates(request);

  std::string text(analysis::kCollocatesHeader);
  for (const analysis::Collocate& c : result.collocates) text += analysis::collocateLine(c);
  const int written = writeOrFail(a.common.output, text);
  printMessage("적중 " + std::to_string(result.hits) + "개, 범위 칸(W) " + std::to_string(result.spanSlots) +
               "개, 전체 단위(N) " + std::to_string(result.scopeUnits) + "개");
  const bool failed = reportFailures(result.documents);
  return written != kExitOk || failed ? kExitFailed : kExitOk;
}

void addQueryOptions(CLI::App& command, QueryArgs& a) {
  command.add_option("QUERY", a.query, "query (UTF-8); see the footer")->required();
  addSelectionOptions(command, a.selection);
  command.add_option("--tags", a.tagFile, "tag file (CP949) whose class names the query may use (*/체언)");
  command.add_option("--out", a.output, "TSV file to write (UTF-8; replaced once written whole); '-' "
                                        "or none: standard output");
}

constexpr const char* kQueryHelp =
    "QUERY: token patterns separated by blanks, matching consecutive word tokens.\n"
    "  w:먹었다  w:먹*        the word (exact, or '*' at either end)\n"
    "  먹/VV+었/EP  */NNG     consecutive morphemes FORM/TAG anywhere in the analysis;\n"
    "  ^먹/VV  다/EF$         '^' the first morpheme, '$' the last; FORM alone: any tag\n"
    "  */체언                 a class of the tag file (--tags) stands for its tags\n"
    "  []  []{0,3}  []{2}     any one word; from m to n words; exactly n\n"
    "FORM, TAG and words may be '*' or start or end with '*'; '\\' takes the next character\n"
    "literally (\\+/SW). Tags compare ASCII case-insensitively. A malformed query exits 2 with\n"
    "the position of the fault.\n";

}  // namespace

void registerAnalysisCommands(CLI::App& app, int& exitCode) {
  auto conc = std::make_shared<ConcordanceArgs>();
  CLI::App* c = app.add_subcommand(
      "concordance", "Concordance: every hit of a query in context (KWIC), as UTF-8 TSV");
  addQueryOptions(*c, conc->common);
  c->add_option("--context", conc->context, "words of context either side (default 5)")
      ->check(CLI::Range(0, 50));
  c->add_option("--sort", conc->sort, "hit, L1, L2, L3, R1, R2, R3 or doc (document order, the default)");
  c->add_option("--limit", conc->limit, "at most this many lines (the first in sort order; 0: all)");
  c->add_flag("--count", conc->count, "the counts per document instead of the lines");
  c->footer(std::string(kQueryHelp) +
            "Output: header 'document serial left hit right analysis'; serial is the hit's first "
            "record, analysis the hit records' analyses joined by ' | '. --count: 'document hits "
            "per_million words', then the total. An exact w: word first uses the document's "
            "reference file when it is at least as new as the document.\n");
  c->callback([conc, &exitCode] { exitCode = runGuarded([&] { return runConcordance(*conc); }); });

  auto coll = std::make_shared<CollocateArgs>();
  CLI::App* l = app.add_subcommand(
      "collocates", "Collocations of a query's hits with MI, t-score, log-likelihood and logDice, as UTF-8 TSV");
  addQueryOptions(*l, coll->common);
  l->add_option("--span", coll->span, "words left and right of each hit, L,R (default 5,5)");
  l->add_option("--unit", coll->unit, "morpheme (FORM/TAG, the default), word or tag");
  l->add_option("--min", coll->minimum, "least co-occurrences O a collocate needs (default 1)");
  l->add_option("--sort", coll->sort, "mi, t, ll (the default), logdice or o; best first");
  l->footer(std::string(kQueryHelp) +
            "Output: header 'collocate O f E MI t LL logDice'. N counts morphemes for the morpheme "
            "and tag units, words for the word unit; W = hits x (L+R); E = W f / N.\n");
  l->callback([coll, &exitCode] { exitCode = runGuarded([&] { return runCollocates(*coll); }); });
}

}  // namespace selvanor::cli
