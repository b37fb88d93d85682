// review, batch autocorrect|check.
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/document_selection.h"
#include "cli/terminal.h"
#include "facade/dbwrap.h"
#include "lexicon/analysis_review.h"
#include "lexicon/batch_modification.h"
#include "stats/tag_manager.h"

namespace selvanor::cli {
namespace {

struct ReviewArgs {
  std::string document;
  std::vector<std::string> compare;  // REFERENCE COMPARED
  std::string report;
};

int runReview(const ReviewArgs& a) {
  if (a.document.empty() == a.compare.empty()) {
    printMessage("DOC 또는 --compare REFERENCE COMPARED 가운데 하나를 주세요.");
    return kExitUsage;
  }
  DBWrap db;
  const review::ReviewOutcome outcome =
      a.document.empty() ? db.reviewWonmunDB(a.report, a.compare[0], a.compare[1])
                         : db.bunsukDBReview(a.report, a.document);
  if (!outcome) return report(false, outcome.message);
  printResult("재검토 결과 파일: " + a.report + " (어절 " + std::to_string(outcome.groups) +
              "개, 기록 " + std::to_string(outcome.lines) + "개)");
  if (outcome.withoutContext > 0) {
    printMessage("문헌에 없는 일련번호 " + std::to_string(outcome.withoutContext) +
                 "개는 앞뒤 어절 없이 적었습니다.");
  }
  return report(true, outcome.message);
}

// Runs the batch, one line per document: `details` adds what the operation counted.
// `quietOutput`: standard output is reserved for results (the check's failing records),
// so every line goes to standard error.
int runBatch(batch::Operation op, const Selection& selection, const batch::DocumentOperation& operation,
             bool quietOutput) {
  if (selection.documents.empty()) {
    printMessage("처리할 문헌이 없습니다.");
    return kExitOk;
  }
  batch::BatchListener listener;
  listener.afterDocument = [op, quietOutput](const batch::BatchDocument&,
                                             const batch::DocumentReport& r, std::string_view line) {
    std::string text(line);
    if (!r.failed) {
      text += op == batch::Operation::WorkErrorCheck
                  ? " (오류 기록 " + std::to_string(r.failingRecords) + "개)"
                  : " (바뀐 기록 " + std::to_string(r.changedRecords) + "개)";
    }
    if (r.failed || quietOutput) printMessage(text);
    else printResult(text);
  };
  batch::BatchControl control;
  const batch::BatchOutcome outcome = batch::runBatch(op, selection.documents, operation, listener, control);
  if (quietOutput) {
    printMessage(outcome.finalMessage);
    return outcome.failed == 0 ? kExitOk : kExitFailed;
  }
  return report(outcome.failed == 0, outcome.finalMessage);
}

int runBatchAutocorrect(const SelectionArgs& a, const std::string& list) {
  if (auto refusal = batch::checkCorrectionList(list)) {
    printMessage(*refusal);
    return kExitUsage;
  }
  const Selection s = selectDocuments(a);
  if (s.exitCode != kExitOk) return s.exitCode;
  return runBatch(batch::Operation::AutoCorrection, s, batch::autoCorrection(list), false);
}

int runBatchCheck(const SelectionArgs& a, const std::string& tagFile) {
  TagManager tags;
  if (const TagLoadResult loaded = tags.Load(tagFile); !loaded) {
    printMessage(batch::tagFileUnreadable(tagFile));
    printMessage(loaded.error);
    return kExitFailed;
  }
  const Selection s = selectDocuments(a);
  if (s.exitCode != kExitOk) return s.exitCode;
  // Failing records as the check subcommand prints them.
  const auto operation = batch::workErrorCheck(tags, [](const AnalysisRecord& r, const std::string&) {
    printResult(display(r.serial) + " " + display(r.word) + " " + display(r.analysis));
  });
  return runBatch(batch::Operation::WorkErrorCheck, s, operation, true);
}

}  // namespace

void registerReviewCommands(CLI::App& app, int& exitCode) {
  auto review = std::make_shared<ReviewArgs>();
  CLI::App* r = app.add_subcommand(
      "review", "Analysis review: words analysed differently in a document (DOC), or between "
                "two reference files (--compare), written as a CP949 report");
  r->add_option("DOC", review->document, "analysis document (.id) to review within");
  r->add_option("--compare", review->compare,
                "reference file (.idx) and the reference file compared with it; each one's "
                "document (extension replaced by .id) lies beside it")
      ->expected(2)
      ->type_name("REFERENCE COMPARED");
  r->add_option("--out", review->report, "report file to write (replaced on success)")->required();
  r->footer(
      "Analyses are compared without blanks, tabs and line feeds. Each report line is "
      "'serial word analysis', a blank and a tab, up to two words before and after the "
      "record around '-', and CR LF.\n");
  r->callback([review, &exitCode] { exitCode = runReview(*review); });

  CLI::App* b = app.add_subcommand(
      "batch", "Batch modification: one correction over many documents, each document once");
  b->require_subcommand(1);
  b->footer(
      "Documents come from a document list (all of it, or the groups named with --group) or "
      "from the command line. One line per document says what happened; exit status 1 when "
      "any document failed.\n");

  auto correct = std::make_shared<std::pair<SelectionArgs, std::string>>();
  CLI::App* ba = b->add_subcommand("autocorrect", "Apply an auto-correction list to every document");
  ba->add_option("--corrections", correct->second,
                 "correction list (CP949): search<TAB>replacement per line")
      ->required();
  addSelectionOptions(*ba, correct->first);
  ba->callback([correct, &exitCode] {
    exitCode = runBatchAutocorrect(correct->first, correct->second);
  });

  auto check = std::make_shared<std::pair<SelectionArgs, std::string>>();
  CLI::App* bc = b->add_subcommand(
      "check", "Work-error check of every document: failing records on standard output as "
               "'check' prints them, one line per document on standard error");
  bc->add_option("--tags", check->second, "tag file (CP949)")->required();
  addSelectionOptions(*bc, check->first);
  bc->callback([check, &exitCode] { exitCode = runBatchCheck(check->first, check->second); });
}

}  // namespace selvanor::cli
