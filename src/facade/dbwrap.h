// DBWrap: the one façade through which dialogs, the view and the command line build, read,
// change and report the system's files. It holds no logic of its own: each operation
// forwards to the subsystem that owns it, which opens the files it needs, works, closes
// them and returns a result code (common/result_codes.h); failures also write one English
// diagnostic line ("DBWrap::operation => what error").
//
// The operation names are romanised Korean; a short glossary:
//   Bunsuk      분석     analysis document (.id)               store/document_*.h
//   Wonmun      원문     reference file (.idx)                  store/reference/reference_file.h
//   Sayongye    사용예   usage examples                         store/reference/reference_file.h
//   Tong        통계     statistics (.stt files, runs, reports) stats/
//   Uhwe, Pumsa 어휘, 품사 vocabulary, part-of-speech tag       stats/
//   Dongum      동음어   homonym dictionary (.dic)               lexicon/homonym_dictionary.h
//   Mideungjae  미등재어 unregistered-word dictionary (.mdj)     lexicon/unregistered_dictionary.h
//   Sujung      수정     (auto-)correction list                  lexicon/auto_correction.h
//   review      재검토   analysis review, consistent fixes       lexicon/analysis_review.h
//   Yongrye     용례     concordance and collocations           analysis/
//   CDicPage, CMiPage: the homonym page and the unregistered-word page of the dictionary bar.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/collocations.h"
#include "analysis/concordance.h"
#include "analysis/concordance_query.h"
#include "common/result_codes.h"
#include "lexicon/analysis_review.h"
#include "lexicon/auto_correction.h"
#include "lexicon/consistent_analysis.h"
#include "lexicon/dictionary_edits.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/unregistered_dictionary.h"
#include "stats/statistics_file.h"
#include "stats/statistics_listing.h"
#include "stats/statistics_run.h"
#include "store/document/analysis_record.h"
#include "store/document/document_build.h"
#include "store/interchange/document_export.h"
#include "store/interchange/document_import.h"
#include "store/document/document_merge.h"
#include "store/reference/encap_list.h"
#include "store/interchange/interchange_export.h"
#include "store/reference/reference_file.h"

namespace selvanor {

class Storage;

class DBWrap {
 public:
  // The subsystems' types, under the names the callers have always used.
  using DongumEntry = HomonymSense;
  using DongumFormatError = homonym::FormatError;
  using MideungjaeEntry = unregistered::Entry;
  using SujungOutcome = correction::Outcome;
  using ExampleField = reference::ExampleField;
  static constexpr int kRecordItem = encap::kRecordItem;
  static constexpr int kHomonymItem = encap::kHomonymItem;
  static constexpr ResultCode kDongumFormatError = homonym::kDongumFormatError;
  static constexpr ResultCode kDongumUnavailable = homonym::kDongumUnavailable;
  static constexpr ResultCode kMideungjaeFound = unregistered::kMideungjaeFound;
  static constexpr ResultCode kMideungjaeNotDeleted = unregistered::kMideungjaeNotDeleted;

  // ---- documents (store/document/document_build.h, document_export.h, document_merge.h) -------
  [[nodiscard]] ParsedLine parseLine(std::string_view line, bool attachDa) {
    return builder_.parseLine(line, attachDa);
  }
  [[nodiscard]] ResultCode addIndex(const std::string& input, const std::string& output,
                                    std::string_view prefix) {
    return DocumentBuilder::addIndex(input, output, prefix);
  }
  [[nodiscard]] ResultCode makeBunsukDB(const std::string& input, const std::string& output,
                                        std::string_view prefix, SerialMode mode, bool attachDa,
                                        const ProgressFn& progress = {}) {
    return builder_.makeBunsukDB(input, output, prefix, mode, attachDa, progress);
  }
  // First field of the last line parsed (empty before any); shown in format-error messages.
  [[nodiscard]] const std::string& lastSerial() const { return builder_.lastSerial(); }
  // What a refused build input looked like (UTF-8, UTF-16, binary); empty otherwise.
  [[nodiscard]] const std::string& foreignText() const { return builder_.foreignText(); }
  [[nodiscard]] ResultCode printDBcont(ExportKind kind, const std::string& source,
                                       const std::string& output) {
    return selvanor::printDBcont(kind, source, output);
  }
  [[nodiscard]] ResultCode mergeBunsukDB(const std::string& base, const std::string& added,
                                         const ProgressFn& progress = {}) {
    return merge::mergeBunsukDB(base, added, progress);
  }

  // ---- interchange: other encodings and formats at the edges (store/interchange/document_import.h,
  //      store/interchange/interchange_export.h) -------------------------------------------------------
  [[nodiscard]] interchange::Inspection inspectImportSource(const std::string& input,
                                                            interchange::ImportFormat format,
                                                            interchange::Encoding encoding) {
    return interchange::inspectSource(input, format, encoding);
  }
  [[nodiscard]] interchange::ImportOutcome importBunsukDB(const interchange::ImportRequest& request,
                                                          const interchange::SourcePlan& plan) {
    return interchange::importDocument(request, plan);
  }
  [[nodiscard]] interchange::ExportOutcome exportBunsukDB(interchange::DocumentFormat format,
                                                          const std::string& document,
                                                          const std::string& output) {
    return interchange::exportDocument(format, document, output);
  }

  // ---- reference files and usage examples (store/reference/reference_file.h) -------------------
  [[nodiscard]] ResultCode makeWonmunDB(const std::string& document,
                                        const ProgressFn& progress = {}) {
    return reference::makeWonmunDB(document, progress);
  }
  [[nodiscard]] ResultCode getWonmun2(const std::string& reference, std::string_view word,
                                      std::vector<AnalysisRecord>& items) {
    return reference::getWonmun2(reference, word, items);
  }
  [[nodiscard]] ResultCode mergeWonmunDB(const std::string& base, const std::string& added,
                                         const ProgressFn& progress = {}) {
    return reference::mergeWonmunDB(base, added, progress);
  }
  [[nodiscard]] ResultCode searchSayongye(const std::string& document, std::string_view text,
                                          ExampleField field, const std::string& output,
                                          std::size_t* hits = nullptr) {
    return reference::searchSayongye(document, text, field, output, hits);
  }
  [[nodiscard]] ResultCode writeEncapRec(Storage& target, int kind, std::string_view key,
                                         std::string_view encodedItem) {
    return encap::writeEncapRec(target, kind, key, encodedItem);
  }

  // ---- homonym dictionary (lexicon/homonym_dictionary.h) -----------------------------
  // The dictionary of the last getDongum stays open in this DBWrap for later look-ups.
  [[nodiscard]] ResultCode makeDongumDB(const std::string& source, const std::string& dictionary,
                                        const ProgressFn& progress = {}) {
    return homonyms_.makeDongumDB(source, dictionary, progress);
  }
  [[nodiscard]] const DongumFormatError& dongumFormatError() const {
    return homonyms_.formatError();
  }
  [[nodiscard]] ResultCode getDongum(const std::string& dictionary, std::string_view headword,
                                     std::vector<DongumEntry>& entries) {
    return homonyms_.getDongum(dictionary, headword, entries);
  }
  [[nodiscard]] ResultCode addDongumRec(const std::string& dictionary, const DongumEntry& entry) {
    return homonyms_.addDongumRec(dictionary, entry);
  }
  [[nodiscard]] ResultCode removeDongumRec(const std::string& dictionary,
                                           std::string_view headword,
                                           std::string_view numberedForm) {
    return homonyms_.removeDongumRec(dictionary, headword, numberedForm);
  }
  [[nodiscard]] ResultCode mergeDongumDB(const std::string& base, const std::string& other,
                                         const ProgressFn& progress = {}) {
    return homonyms_.mergeDongumDB(base, other, progress);
  }
  // The homonym page's 수정: `old` replaced by `edited`, put back when that fails.
  [[nodiscard]] EditOutcome modifyDongumRec(const std::string& dictionary, const DongumEntry& old,
                                            const DongumEntry& edited) {
    return homonym::modifySense(homonyms_, dictionary, old, edited);
  }

  // ---- unregistered-word dictionary (lexicon/unregistered_dictionary.h) --------------
  [[nodiscard]] ResultCode FindMideungjae(const std::string& dictionary, std::string_view prefix,
                                          std::vector<MideungjaeEntry>& entries) {
    return unregistered::FindMideungjae(dictionary, prefix, entries);
  }
  [[nodiscard]] ResultCode addMideungjae(const std::string& dictionary, std::string_view word,
                                         std::string_view note, bool replace) {
    return unregistered::addMideungjae(dictionary, word, note, replace);
  }
  [[nodiscard]] ResultCode delMideungjae(const std::string& dictionary, std::string_view word) {
    return unregistered::delMideungjae(dictionary, word);
  }
  [[nodiscard]] ResultCode removeMideungjae(const std::string& dictionary, std::string_view word) {
    return unregistered::removeMideungjae(dictionary, word);
  }
  [[nodiscard]] ResultCode mergeMideungjaeDB(const std::string& base, const std::string& other,
                                             const ProgressFn& progress = {}) {
    return unregistered::mergeMideungjaeDB(base, other, progress);
  }
  // The unregistered-word page's 수정: `old` replaced by `edited`, put back when that fails.
  [[nodiscard]] EditOutcome modifyMideungjae(const std::string& dictionary,
                                             const MideungjaeEntry& old,
                                             const MideungjaeEntry& edited) {
    return unregistered::modifyEntry(dictionary, old, edited);
  }

  // ---- auto-correction (lexicon/auto_correction.h) -----------------------------------
  [[nodiscard]] ResultCode makeSujungDB(std::string& fixPath, const std::string& list,
                                        SujungOutcome* outcome = nullptr) {
    return correction::makeSujungDB(fixPath, list, outcome);
  }
  [[nodiscard]] ResultCode autoSujung(const std::string& document, const std::string& list,
                                      SujungOutcome* outcome = nullptr,
                                      const ProgressFn& progress = {}) {
    return correction::autoSujung(document, list, outcome, progress);
  }

  // ---- analysis review (lexicon/analysis_review.h, consistent_analysis.h) ------------
  // 작업 파일 내 재검토: `document`'s inconsistent analyses into `report`.
  [[nodiscard]] review::ReviewOutcome bunsukDBReview(const std::string& report,
                                                     const std::string& document,
                                                     const review::GroupSink& sink = {}) {
    return review::reviewWorkFile(report, document, sink);
  }
  // 참조 파일과 비교: the words of `compared` analysed otherwise than in `reference`.
  [[nodiscard]] review::ReviewOutcome reviewWonmunDB(const std::string& report,
                                                     const std::string& reference,
                                                     const std::string& compared,
                                                     const review::GroupSink& sink = {}) {
    return review::compareReferenceFiles(report, reference, compared, sink);
  }
  // 모두 이 분석으로: the listed records of the open document get `analysis`.
  [[nodiscard]] review::ApplyOutcome applyBunsukAnalysis(DocumentCursor& document,
                                                         const std::vector<std::string>& serials,
                                                         std::string_view analysis) {
    return review::applyAnalysis(document, serials, analysis);
  }

  // ---- statistics runs and listings (stats/statistics_run.h, statistics_listing.h) ---
  [[nodiscard]] stats::RunOutcome runTongStat(const stats::RunRequest& request,
                                              const stats::ProgressFn& progress = {}) {
    return stats::runTongStat(request, progress);
  }
  [[nodiscard]] stats::RunOutcome writeStatisticsListings(const stats::ListingRequest& request,
                                                          const selvanor::ProgressFn& progress = {}) {
    return stats::writeStatisticsListings(request, progress);
  }

  // ---- statistics files (stats/statistics_file.h) ------------------------------------
  [[nodiscard]] ResultCode makeTongDB(const std::string& document,
                                      const ProgressFn& progress = {}) {
    return stats::makeTongDB(document, progress);
  }
  [[nodiscard]] ResultCode writeTongRec(const std::string& file, std::string_view morpheme,
                                        std::string_view tag) {
    return stats::writeTongRec(file, morpheme, tag);
  }
  [[nodiscard]] ResultCode writeTongRec2(const std::string& file, std::string_view item, int count) {
    return stats::writeTongRec2(file, item, count);
  }

  // ---- concordance and collocations (analysis/) --------------------------------------
  // A typed query (CP949) read against the tag set's class names (`tags` may be null).
  [[nodiscard]] analysis::QueryParse parseYongryeQuery(std::string_view query, const TagManager* tags) {
    return analysis::parseQuery(query, tags);
  }
  [[nodiscard]] analysis::ConcordanceResult findYongrye(const analysis::ConcordanceRequest& request,
                                                        const ProgressFn& progress = {}) {
    return analysis::runConcordance(request, progress);
  }
  [[nodiscard]] analysis::CollocationResult findCollocates(const analysis::CollocationRequest& request,
                                                           const ProgressFn& progress = {}) {
    return analysis::runCollocations(request, progress);
  }

 private:
  DocumentBuilder builder_;
  homonym::HomonymDictionary homonyms_;
};

}  // namespace selvanor
