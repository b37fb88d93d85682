// Building the homonym dictionary from its source text, and the texts around the build.
#include <vector>

#include "common/cp949.h"
#include "common/diagnostics.h"
#include "common/encoding.h"
#include "common/text_kind.h"
#include "lexicon/homonym_dictionary.h"
#include "store/engine/database_replacement.h"
#include "store/engine/codecs.h"
#include "store/reference/encap_list.h"
#include "store/engine/storage.h"

namespace selvanor {
namespace homonym {
namespace {

bool beginsWith(std::string_view s, char code) { return !s.empty() && cp949::isSingle(s, 0, code); }

// The pieces between "#"s, empty ones dropped.
std::vector<std::string_view> pieces(std::string_view record) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start <= record.size()) {
    std::size_t hash = cp949::findChar(record, '#', start);
    if (hash == std::string_view::npos) hash = record.size();
    if (hash > start) out.push_back(record.substr(start, hash - start));
    start = hash + 1;
  }
  return out;
}

}  // namespace

std::optional<SourceRecord> SourceReader::next() {
  while (!atEnd_) {
    std::string text;
    if (hasPending_) text = std::move(pending_);
    hasPending_ = false;
    pending_.clear();
    bool ended = false;
    while (auto line = lines_.next()) {
      ++lineCount_;
      const std::string_view trimmed = cp949::trim(*line);
      if (beginsWith(trimmed, '#')) {
        pending_.assign(trimmed);
        hasPending_ = true;
        ended = true;
        break;
      }
      text.append(trimmed);
    }
    atEnd_ = !ended;
    const std::string_view record = cp949::trim(text);
    if (!record.empty()) return SourceRecord{std::string(record), lineCount_};
  }
  return std::nullopt;
}

std::optional<HomonymSense> splitRecord(std::string_view record) {
  const std::vector<std::string_view> p = pieces(record);
  if (p.size() < 3 || !beginsWith(p[0], '1') || !beginsWith(p[1], '2')) return std::nullopt;
  HomonymSense entry;
  entry.headword.assign(p[0].substr(1));
  entry.numberedForm.assign(p[1].substr(1));
  std::size_t at = 2;
  if (beginsWith(p[2], '3')) {
    entry.hanja.assign(p[2].substr(1));
    ++at;
  } else {
    entry.hanja = " ";
  }
  if (at + 1 != p.size() || !(beginsWith(p[at], '5') || beginsWith(p[at], '$'))) {
    return std::nullopt;
  }
  entry.meaning.assign(p[at].substr(1));
  return entry;
}

std::string formatErrorMessage(const FormatError& error) {
  return "[" + std::to_string(error.line) +
         "]라인 주위에 형식오류가 있습니다.\r\n"
         "형식:[#1...#2...#3...#5...] 또는 [#1..#2...#3...#$...]\r\n"
         "입력문장:[" +
         encoding::cp949Excerpt(error.record) + "]" +
         (error.foreignText.empty() ? std::string() : "\r\n" + error.foreignText);
}

std::string mergeOutcomeMessage(std::string_view mode, ResultCode result) {
  if (result == result::kCancelled) return kCancelledMessage;
  return std::string(mode) + (result == result::kOk ? "이 합쳐졌습니다." : "을 합치지 못했습니다.");
}

std::string saveOutcomeMessage(ResultCode result) {
  return result == result::kOk ? msg::kSaved : msg::kSaveFailed;
}

}  // namespace homonym

ResultCode homonym::HomonymDictionary::makeDongumDB(const std::string& source, const std::string& dictionary,
                                                    const ProgressFn& progress) {
  static constexpr std::string_view kOp = "makeDongumDB";
  formatError_ = {};
  homonym::SourceReader reader(source);
  if (!reader.isOpen()) {
    return failWith(result::kTextFileError, kOp, "open error of read file");
  }
  if (sameFile(source, dictionary)) {
    reportStoreError(kOp, "DB open error");  // the dictionary would replace its own source
    return result::kOpenError;
  }
  // A source in another encoding would split into senses of garbage: refused at its start.
  if (auto foreign = text::describeForeignFile(source)) {
    auto first = reader.next();
    formatError_ = {first ? first->lineCount : 1, first ? std::move(first->text) : std::string(),
                    std::move(*foreign)};
    return kDongumFormatError;
  }
  releaseLookup(dictionary);
  // Built beside the target: a bad record or a failed write keeps the previous dictionary.
  DatabaseReplacement target(dictionary);
  Storage dic;
  if (target.inUse() || !dic.openWithCursor(target.temporaryPath())) {
    return failWith(result::kOpenError, kOp, "DB open error");
  }
  // The senses of one head word come one after another: they are written together, once.
  std::string headword;
  std::vector<std::string> senses;
  const auto flush = [&]() {
    std::size_t stored = 0;
    const ResultCode rc = senses.empty() ? result::kOk
                                         : encap::appendItems(dic, encap::kHomonymItem, headword,
                                                              senses, stored);
    senses.clear();
    return rc;
  };
  ProgressReporter reporter(progress, fileSizeOf(source));
  while (auto record = reader.next()) {
    // The temporary goes with `target`; the previous dictionary stays.
    if (!reporter.report(reader.bytesRead())) return result::kCancelled;
    auto entry = homonym::splitRecord(record->text);
    if (!entry) {
      formatError_ = {record->lineCount, std::move(record->text), {}};
      return kDongumFormatError;
    }
    if (entry->headword != headword) {
      if (flush() != result::kOk) return result::kInsertError;
      headword = entry->headword;
    }
    senses.push_back(codec::encodeQuad({entry->headword, entry->numberedForm, entry->hanja, entry->meaning}));
  }
  if (flush() != result::kOk) return result::kInsertError;
  if (reader.failed()) {
    return failWith(result::kTextFileError, kOp, "read error of read file");
  }
  if (!reporter.report(reader.bytesRead())) return result::kCancelled;
  if (!dic.close() || !target.commit()) {
    return failWith(result::kInsertError, kOp, "DB write error");
  }
  return result::kOk;
}

}  // namespace selvanor
