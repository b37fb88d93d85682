// merge, reference build|lookup|merge, examples, export reference.
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/export_output.h"
#include "cli/terminal.h"
#include "common/derived_paths.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/corpus/document_list.h"
#include "store/document/document_merge.h"
#include "store/reference/reference_file.h"

namespace selvanor::cli {
namespace {

struct PairArgs {
  std::string first, second;
};

int runDocumentMerge(const PairArgs& a) {
  if (auto refusal = merge::checkMerge(a.first, a.second, std::string())) {
    return report(false, *refusal);
  }
  DBWrap db;
  const ResultCode rc = db.mergeBunsukDB(a.first, a.second);
  return report(rc == result::kOk, merge::outcomeMessage(rc));
}

int runReferenceExport(const PairArgs& a) {
  const std::string text = a.second.empty() ? derived::referenceTextFile(a.first) : a.second;
  if (auto refusal = reference::checkExportTarget(a.first, text)) return report(false, *refusal);
  DBWrap db;
  const ResultCode rc = db.printDBcont(ExportKind::Reference, a.first, text);
  if (rc == result::kOk && !isStandardOutput(text)) printResult("텍스트 파일: " + text);
  return reportExport(rc == result::kOk, reference::exportOutcomeMessage(rc), text);
}

int runReferenceBuild(const std::string& document) {
  DBWrap db;
  const ResultCode rc = db.makeWonmunDB(document);
  if (rc == result::kOk) printResult("저장 파일 이름: " + derived::referenceFile(document));
  return report(rc == result::kOk, reference::buildOutcomeMessage(rc));
}

int runReferenceLookup(const PairArgs& a) {
  auto word = argumentToCp949(a.second);
  if (!word) return kExitFailed;
  DBWrap db;
  std::vector<AnalysisRecord> items;
  const ResultCode rc = db.getWonmun2(a.first, *word, items);
  if (rc == result::kOpenError) return report(false, reference::msg::kLookupUnreadable);
  // Nothing found is an answer, not a failure: the page shows an empty list.
  if (rc == result::kNothingToRead) printMessage(reference::msg::kLookupEmpty);
  else if (items.empty()) printMessage(reference::msg::kLookupNotFound);
  for (const AnalysisRecord& r : items) {
    printResult(display(r.serial) + "\t" + display(r.word) + "\t" + display(r.analysis));
  }
  return kExitOk;
}

int runReferenceMerge(const PairArgs& a) {
  if (auto refusal = reference::checkMergeFields(a.first, a.second)) return report(false, *refusal);
  DBWrap db;
  const ResultCode rc = db.mergeWonmunDB(a.first, a.second);
  return report(rc == result::kOk, reference::mergeOutcomeMessage(rc));
}

struct ExampleArgs {
  std::string word, analysis, output;
  std::vector<std::string> documents;
};

int runExamples(const ExampleArgs& a) {
  const bool byWord = !a.word.empty();
  if (byWord == !a.analysis.empty()) {
    printMessage("--word 또는 --analysis 가운데 하나에 찾을 글자를 넣어 주세요.");
    return kExitUsage;
  }
  auto text = argumentToCp949(byWord ? a.word : a.analysis);
  if (!text) return kExitFailed;
  const auto field = byWord ? DBWrap::ExampleField::Word : DBWrap::ExampleField::Analysis;
  // Text appended to one of the documents searched would corrupt it.
  for (const std::string& document : a.documents) {
    if (sameFile(document, a.output)) return report(false, corpus::msg::kOutputInUse);
  }
  DBWrap db;
  bool failed = false;
  for (const std::string& document : a.documents) {
    std::size_t hits = 0;
    const ResultCode rc = db.searchSayongye(document, *text, field, a.output, &hits);
    if (rc != result::kOk) {
      failed = true;
      printMessage(reference::examplesFailureMessage(document, a.output, rc));
      // Every other document would fail the same way.
      if (rc == result::kTextFileError || rc == result::kInsertError) break;
      continue;
    }
    printResult(document + ": " + std::to_string(hits));
  }
  return report(!failed, corpus::msg::kExamplesDone);
}

}  // namespace

void registerReferenceCommands(CLI::App& app, CLI::App& exportCommand, int& exitCode) {
  auto merge = std::make_shared<PairArgs>();
  CLI::App* m = app.add_subcommand(
      "merge", "Copy every record of ADDED into the analysis document BASE (a serial in both "
               "takes ADDED's record)");
  m->add_option("BASE", merge->first, "analysis document (.id) to merge into; created when missing")
      ->required();
  m->add_option("ADDED", merge->second, "analysis document (.id) to merge in; not changed")->required();
  m->callback([merge, &exitCode] { exitCode = runDocumentMerge(*merge); });

  auto exported = std::make_shared<PairArgs>();
  CLI::App* e = exportCommand.add_subcommand(
      "reference", "Reference file: serial<TAB>word<TAB>analysis per item, words in byte order");
  e->add_option("IDX", exported->first, "reference file (.idx)")->required();
  e->add_option("OUTPUT", exported->second,
                "text file to write (CP949), - for standard output; default: IDX with its "
                "extension replaced by txt");
  e->callback([exported, &exitCode] { exitCode = runReferenceExport(*exported); });

  CLI::App* r = app.add_subcommand("reference", "Reference files (.idx): build, look up, merge");
  r->require_subcommand(1);

  auto document = std::make_shared<std::string>();
  CLI::App* rb = r->add_subcommand(
      "build", "Build the reference file of a document (a.id -> a.idx, corpus.db -> corpus.idx); the old "
               "one is replaced only when the build succeeds");
  rb->add_option("DOC", *document, "analysis document (.id)")->required();
  rb->callback([document, &exitCode] { exitCode = runReferenceBuild(*document); });

  auto lookup = std::make_shared<PairArgs>();
  CLI::App* rl = r->add_subcommand(
      "lookup", "List every record of WORD: serial<TAB>word<TAB>analysis, in stored order");
  rl->add_option("IDX", lookup->first, "reference file (.idx)")->required();
  rl->add_option("WORD", lookup->second, "the word (원문어절) exactly as written")->required();
  rl->callback([lookup, &exitCode] { exitCode = runReferenceLookup(*lookup); });

  auto refMerge = std::make_shared<PairArgs>();
  CLI::App* rm = r->add_subcommand(
      "merge", "Append the items of every word of ADDED after those of BASE (duplicates kept)");
  rm->add_option("BASE", refMerge->first, "reference file to merge into; created when missing")
      ->required();
  rm->add_option("ADDED", refMerge->second, "reference file to merge in; not changed")->required();
  rm->callback([refMerge, &exitCode] { exitCode = runReferenceMerge(*refMerge); });

  auto examples = std::make_shared<ExampleArgs>();
  CLI::App* x = app.add_subcommand(
      "examples", "Usage-example search: append every record whose word (or analysis) contains "
                  "TEXT, with five records before and after it, to FILE");
  auto* byWord = x->add_option("--word", examples->word, "text to find in the words (원문어절)");
  auto* byAnalysis =
      x->add_option("--analysis", examples->analysis, "text to find in the analyses (분석어절)");
  byWord->excludes(byAnalysis);
  x->add_option("--out", examples->output, "text file the blocks are appended to (CP949)")->required();
  x->add_option("DOC", examples->documents, "analysis documents (.id), searched in this order")
      ->required();
  x->callback([examples, &exitCode] { exitCode = runExamples(*examples); });
}

}  // namespace selvanor::cli
