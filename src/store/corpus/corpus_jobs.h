// The corpus manager's batch jobs over selected documents, free of any toolkit: the
// dialog supplies the progress step and the questions, the loops and their rules live
// here. Messages are UTF-8.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result_codes.h"
#include "store/corpus/document_list.h"
#include "store/interchange/interchange_export.h"
#include "store/reference/reference_file.h"

namespace selvanor::corpus {

// Called before each document with its path; false stops the job there (the user
// cancelled), leaving the documents before it done whole and the rest untouched.
using JobStep = std::function<bool(const std::string& document)>;

// Added under a closing message when a job was stopped midway.
inline constexpr const char* kJobStopped =
    "작업을 취소했습니다. 나머지 문헌은 처리하지 않았습니다.";

// `path` is the open document or a document of `list`: no job may write over it.
[[nodiscard]] bool isGuardedPath(const DocumentList& list, const std::string& openDocument,
                                 const std::string& path);

// "텍스트 저장": each document's export in `format` into its sibling named by the format's
// extension (".txt", ".conllu", ".tsv"; derived::documentExportFile). A document whose
// text path cannot be named or is guarded is a failure and nothing is written for it; an
// existing text file is replaced only when `replaceExisting(path)` says so. Returns the
// closing message (failures named, a stop noted).
[[nodiscard]] std::string exportDocumentTexts(
    const DocumentList& list, const std::string& openDocument,
    const std::vector<std::string>& documents, const JobStep& step,
    const std::function<bool(const std::string& textPath)>& replaceExisting,
    interchange::DocumentFormat format = interchange::DocumentFormat::Text);

// What "사용 예 검색" over several documents did.
struct ExampleSearchOutcome {
  std::string message;        // the closing message, failures named, a stop noted
  bool outputWritten = true;  // false when the output could not be written: no report
};

// "사용 예 검색": the blocks of every document appended to `output`, in order. A
// document that cannot be read is named and the search goes on; an output that cannot be
// written ends it, since every later document would fail the same way.
[[nodiscard]] ExampleSearchOutcome searchExamples(const std::vector<std::string>& documents,
                                                  std::string_view text,
                                                  reference::ExampleField field,
                                                  const std::string& output, const JobStep& step);

}  // namespace selvanor::corpus
