// What both analysis reviews share: the report line, how two analyses are compared, the
// report file, and the groups a list window receives.
//
// Report line of one record (CP949), written in text mode so every LF becomes CR LF:
//   serial " " word " " analysis " \t"  [" " word of each of up to two records before it]
//   " -"  [" " word of each of up to two records after it]  " \r\n"
// The analysis is written as stored, blanks included; the context words come from the
// record's own document, in key order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/files.h"
#include "store/document/analysis_record.h"

namespace selvanor::review {

// One occurrence of a word that a review lists.
struct Occurrence {
  AnalysisRecord record;           // serial, word and analysis as the review read them
  std::string document;            // native path of the analysis document that holds it
  std::uint32_t recordNumber = 0;  // 1-based position in that document (grid row + 1);
                                   // 0 when its serial is not in the document
};

// One reported word: first the occurrence the others differ from, then every listed
// occurrence that differs from it, in report order.
struct ReviewGroup {
  std::string word;
  std::vector<Occurrence> occurrences;
};

// Receives each group as soon as its lines are in the report. A review that fails later
// leaves no report, so the receiver should drop what it got when the outcome is a failure.
using GroupSink = std::function<void(const ReviewGroup&)>;

// Keeps the first `maxGroups` groups for a list window and counts the rest, so that a
// review of a whole corpus cannot fill the memory of the window that shows it.
class GroupCollector {
 public:
  explicit GroupCollector(std::size_t maxGroups) : max_(maxGroups) {}

  // A sink feeding this collector; valid while the collector lives.
  [[nodiscard]] GroupSink sink();
  void clear();

  const std::vector<ReviewGroup>& groups() const { return groups_; }
  // Hands the kept groups over to a list window without copying them; the collector is
  // left empty and total() still counts every group it received.
  [[nodiscard]] std::vector<ReviewGroup> takeGroups();
  std::size_t total() const { return total_; }
  bool truncated() const { return total_ > groups_.size(); }

 private:
  std::vector<ReviewGroup> groups_;
  std::size_t max_;
  std::size_t total_ = 0;
};

// `analysis` without blanks, tabs and line feeds, into `out` (replaced). Carriage returns
// stay: only those three bytes are ignored when analyses are compared. None of them can be
// the second byte of a CP949 character, so dropping them byte by byte splits nothing.
void comparableAnalysis(std::string_view analysis, std::string& out);

// The context of one record in its document, ready to be written.
struct RecordContext {
  std::uint32_t recordNumber = 0;  // 0: the record was not found
  AnalysisRecord record;           // as the document holds it
  std::string before;              // " w1 w2": words of up to two records before, earlier first
  std::string after;               // " w4 w5": words of up to two records after
};

// Appends the report line of `record` with the context words of `context` (empty context
// strings for a record that was not found), ending in " \n".
void appendReportLine(std::string& out, const AnalysisRecord& record, const RecordContext& context);

// The report, written beside its path and renamed over it by commit(): a review that fails
// leaves whatever was at the path before. Text mode: every LF written becomes CR LF.
class ReportWriter {
 public:
  explicit ReportWriter(const std::string& path);
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  [[nodiscard]] bool isOpen() const { return file_ != nullptr; }
  // False once any write has failed (the report is then not committed).
  [[nodiscard]] bool write(std::string_view text);
  // Flushes, syncs and closes the file and renames it over the path. False on any failure.
  [[nodiscard]] bool commit();

 private:
  FileReplacement replacement_;
  FilePtr file_;
  std::string buffer_;
  bool failed_ = false;

  bool flushBuffer();
};

}  // namespace selvanor::review
