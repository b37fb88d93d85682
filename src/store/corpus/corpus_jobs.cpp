#include "store/corpus/corpus_jobs.h"

#include <algorithm>

#include "common/derived_paths.h"
#include "common/files.h"

namespace selvanor::corpus {

bool isGuardedPath(const DocumentList& list, const std::string& openDocument,
                   const std::string& path) {
  if (!openDocument.empty() && sameFile(path, openDocument)) return true;
  return std::any_of(list.groups().begin(), list.groups().end(), [&](const ListGroup& g) {
    return std::any_of(g.documents.begin(), g.documents.end(),
                       [&](const ListDocument& d) { return sameFile(path, d.path); });
  });
}

std::string exportDocumentTexts(const DocumentList& list, const std::string& openDocument,
                                const std::vector<std::string>& documents, const JobStep& step,
                                const std::function<bool(const std::string& textPath)>& replaceExisting,
                                interchange::DocumentFormat format) {
  std::vector<JobFailure> failures;
  bool stopped = false;
  for (const std::string& document : documents) {
    if (!step(document)) {
      stopped = true;
      break;
    }
    const std::string textPath =
        derived::documentExportFile(document, interchange::exportExtension(format));
    // No sibling can be named, or the name is that of a listed document: never written.
    if (textPath.empty() || isGuardedPath(list, openDocument, textPath)) {
      failures.push_back({document, result::kTextFileError});
      continue;
    }
    if (fileExists(textPath) && !replaceExisting(textPath)) continue;
    const ResultCode rc = interchange::exportDocument(format, document, textPath).code;
    if (rc != result::kOk) failures.push_back({document, rc});
  }
  std::string outcome = jobOutcomeMessage(msg::kTextDone, failures);
  if (stopped) outcome = outcome + '\n' + kJobStopped;
  return outcome;
}

ExampleSearchOutcome searchExamples(const std::vector<std::string>& documents,
                                    std::string_view text, reference::ExampleField field,
                                    const std::string& output, const JobStep& step) {
  ExampleSearchOutcome outcome{msg::kExamplesDone, true};
  for (const std::string& document : documents) {
    if (!step(document)) {
      outcome.message = outcome.message + '\n' + kJobStopped;
      break;
    }
    const ResultCode rc = reference::searchSayongye(document, text, field, output);
    if (rc == result::kOk) continue;
    outcome.message += '\n';
    outcome.message += reference::examplesFailureMessage(document, output, rc);
    // Every other document would fail the same way.
    if (rc == result::kTextFileError || rc == result::kInsertError) {
      outcome.outputWritten = false;
      break;
    }
  }
  return outcome;
}

}  // namespace selvanor::corpus
