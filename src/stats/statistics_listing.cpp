#include "stats/statistics_listing.h"

#include <cstdio>

#include "common/derived_paths.h"
#include "common/encoding.h"
#include "common/files.h"
#include "stats/statistics_report.h"
#include "stats/statistics_source.h"
#include "store/corpus/document_list.h"

namespace selvanor::stats {
namespace {

// Rows and the closing line, whichever listing they belong to.
class ListingWriter {
 public:
  explicit ListingWriter(long long total) : total_(total) {}

  void row(std::string_view item, const std::string* tag, long long count) {
    const float percent = singlePrecisionPercent(count, total_);
    out_.append(item).append("\t");
    if (tag != nullptr) out_.append(*tag).append("\t");
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%lld\t%.5f %%\n", count,
                                static_cast<double>(percent));
    out_.append(buffer, static_cast<std::size_t>(n));
    sum_ += percent;
    ++rows_;
  }

  std::string finish() {
    static const std::string kWords = encoding::cp949Literal("전체 어휘수:");
    static const std::string kTotal = encoding::cp949Literal(", 전체 빈도:");
    static const std::string kSum = encoding::cp949Literal(", 전체 백분율 합계:");
    char buffer[64];
    out_.append("\n\n").append(kWords).append(std::to_string(rows_));
    out_.append(kTotal).append(std::to_string(total_)).append(kSum);
    const int n = std::snprintf(buffer, sizeof buffer, "%.5f %%\n\n\n", static_cast<double>(sum_));
    out_.append(buffer, static_cast<std::size_t>(n));
    return std::move(out_);
  }

 private:
  long long total_;
  long long rows_ = 0;
  float sum_ = 0;  // accumulated in single precision, as the listings always have
  std::string out_;
};

}  // namespace

std::string listingHeading(const std::string& documentCp949) {
  static const std::string kHead = encoding::cp949Literal("# 문헌 : ");
  return kHead + documentCp949 + "\n";
}

std::string taggedListing(const CountTable& counts, const std::vector<std::string>& tags,
                          const SyllableRange* range) {
  long long total = 0;
  for (const std::string& tag : tags) {
    if (const Column* column = counts.find(tag)) {
      for (const ColumnEntry e : *column) total += e.cell->count;
    }
  }
  ListingWriter writer(total);
  for (const std::string& tag : tags) {
    const Column* column = counts.find(tag);
    if (column == nullptr) continue;
    for (const ColumnEntry& e : sortedEntries(*column)) {
      if (range == nullptr || inSyllableRange(e.item, *range)) {
        writer.row(e.item, &tag, e.cell->count);
      }
    }
  }
  return writer.finish();
}

std::string vocabularyListing(const CountTable& counts) {
  const Column* column = counts.find(kVocabularyColumn);
  long long total = 0;
  if (column != nullptr) {
    for (const ColumnEntry e : *column) total += e.cell->count;
  }
  ListingWriter writer(total);
  if (column != nullptr) {
    for (const ColumnEntry& e : sortedEntries(*column)) writer.row(e.item, nullptr, e.cell->count);
  }
  return writer.finish();
}

RunOutcome writeStatisticsListings(const ListingRequest& request,
                                   const selvanor::ProgressFn& progress) {
  const int type = request.type;
  if (type < 1 || type > 5) return RunOutcome::failed(result::kFormatError, msg::kUnknownType);
  const std::vector<std::string> tags = uniqueTags(request.tags);
  if (tags.empty()) return RunOutcome::failed(result::kFormatError, msg::kNoScopeTags);
  if (type == 5 && (request.range.lower.empty() || request.range.upper.empty())) {
    return RunOutcome::failed(result::kFormatError, msg::kNoRange);
  }
  if (request.outputPath.empty())
    return RunOutcome::failed(result::kFormatError, msg::kChooseResultFile);
  // Each document counts one unit per tag read and one for its listing.
  const std::uint64_t perDocument = tags.size() + 1;
  const std::uint64_t total = perDocument * request.documents.size();
  std::uint64_t listed = 0;  // units of the documents already listed
  const auto stopped = [&](std::uint64_t done) { return progress && !progress(done, total); };
  const selvanor::ProgressFn tagProgress = [&](std::uint64_t done, std::uint64_t) {
    return !stopped(listed + done);
  };
  std::string text;
  for (const std::string& document : request.documents) {
    const std::string statistics = derived::statisticsFile(document);
    if (sameFile(request.outputPath, document) ||
        (!statistics.empty() && sameFile(request.outputPath, statistics))) {
      return RunOutcome::failed(result::kFormatError, corpus::msg::kOutputInUse,
                                request.outputPath);
    }
    CountTable counts;
    const bool vocabulary = type == 1 || type == 3;
    ReadFailure failure = vocabulary ? getUhweTong(document, tags, counts, tagProgress)
                                     : mergeTongDB(counts, document, tags, tagProgress);
    if (failure) return std::move(*failure);
    encoding::Conversion name = encoding::utf8ToCp949(document);
    if (!name)
      return RunOutcome::failed(result::kFormatError, encoding::unencodableMessage(name.offending));
    text += listingHeading(*name.text);
    text += vocabulary ? vocabularyListing(counts)
                       : taggedListing(counts, tags, type == 5 ? &request.range : nullptr);
    listed += perDocument;
    // Nothing is written before the last document is listed: a stop leaves no file.
    if (stopped(listed)) return RunOutcome::failed(kRunCancelled, msg::kCancelled);
  }
  if (!writeReportFile(request.outputPath, text)) {
    return RunOutcome::failed(result::kTextFileError, msg::kReportNotWritten + request.outputPath,
                              request.outputPath);
  }
  RunOutcome out;
  out.message = msg::kDone;
  out.path = request.outputPath;
  return out;
}

}  // namespace selvanor::stats
