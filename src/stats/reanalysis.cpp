#include "stats/reanalysis.h"

#include <map>
#include <unordered_map>
#include <utility>
#include <variant>

#include "common/cp949.h"
#include "common/files.h"
#include "store/document/analysis_record.h"

namespace selvanor::stats {
namespace {

std::string lineNotice(std::size_t line, std::string_view why) {
  return "재분석 파일 " + std::to_string(line) + "번째 줄: " + std::string(why);
}

// Fields of a trimmed line, cut at runs of blanks and tabs (neither is ever the second
// byte of a CP949 character).
std::vector<std::string_view> fieldsOf(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i == line.size() || line[i] == ' ' || line[i] == '\t') {
      if (i > start) fields.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  return fields;
}

// One line as an entry, or the reason it is not taken.
std::variant<ReanalysisEntry, std::string> parseLine(std::string_view raw, std::size_t line) {
  if (raw.size() > kMaxReanalysisLineBytes) {
    return lineNotice(line, "1023바이트보다 길어 읽지 않았습니다.");
  }
  const std::vector<std::string_view> fields = fieldsOf(cp949::trim(raw));
  if (fields.size() == 1) return lineNotice(line, "바꿀 형태소가 없어 읽지 않았습니다.");
  if (fields.size() > kMaxReanalysisPieces + 1) {
    return lineNotice(line, "바꿀 형태소가 20개를 넘어 읽지 않았습니다.");
  }
  ReanalysisEntry entry;
  entry.line = line;
  entry.item = splitReanalysisField(fields[0]);
  for (std::size_t i = 1; i < fields.size(); ++i) {
    entry.pieces.push_back(splitReanalysisField(fields[i]));
  }
  return entry;
}

// A copy of the counts receives the effects while the original is walked, as the pass
// this replaces wrote into a copy of the count file while reading the file itself.
// Here the effects stay within one column.
template <class Apply>
void rewriteColumn(CountTable& counts, const std::string& tag, Apply&& apply) {
  const Column* original = counts.find(tag);
  if (original == nullptr) return;
  Column copy = *original;
  for (const ColumnEntry& e : sortedEntries(*original)) apply(e, copy);
  counts.column(tag) = std::move(copy);
}

}  // namespace

ReanalysisPiece splitReanalysisField(std::string_view field) {
  ReanalysisPiece piece;
  const std::size_t slash = field.empty() ? std::string_view::npos
                                          : cp949::findChar(field, '/', cp949::nextChar(field, 0));
  if (slash == std::string_view::npos) {
    piece.morpheme.assign(field);
    return piece;
  }
  piece.morpheme.assign(field.substr(0, slash));
  piece.tag = cp949::upperAscii(field.substr(slash + 1));
  return piece;
}

std::optional<ReanalysisList> readReanalysisFile(const std::string& path) {
  LineReader reader(path);
  if (!reader.isOpen()) return std::nullopt;
  ReanalysisList list;
  std::size_t line = 0;
  while (const std::optional<std::string_view> text = reader.next()) {
    if (++line > kMaxReanalysisLines) {
      list.notices.push_back("재분석 파일의 1000번째 줄 뒤는 읽지 않았습니다.");
      break;
    }
    if (cp949::trim(*text).empty()) continue;
    auto parsed = parseLine(*text, line);
    if (auto* entry = std::get_if<ReanalysisEntry>(&parsed)) {
      list.entries.push_back(std::move(*entry));
    } else {
      list.notices.push_back(std::move(std::get<std::string>(parsed)));
    }
  }
  if (reader.failed()) return std::nullopt;
  return list;
}

void jaebunUhwe(CountTable& counts, const std::vector<ReanalysisEntry>& entries) {
  std::unordered_map<std::string_view, const ReanalysisEntry*> byItem;
  for (const ReanalysisEntry& e : entries) byItem.emplace(e.item.morpheme, &e);  // first wins
  if (byItem.empty()) return;
  rewriteColumn(counts, kVocabularyColumn, [&](const ColumnEntry& e, Column& column) {
    const auto match = byItem.find(e.item);
    if (match == byItem.end()) return;
    for (const ReanalysisPiece& piece : match->second->pieces) {
      addInto(column[piece.morpheme], e.cell->count, e.cell->documents);
    }
    column.erase(e.item);
  });
}

std::vector<std::size_t> jabunPumsa(CountTable& counts, const std::vector<std::string>& scopeTags,
                                    const std::vector<ReanalysisEntry>& entries) {
  std::vector<std::size_t> unplaced;
  std::map<std::pair<std::string_view, std::string_view>, const ReanalysisEntry*> byItem;
  for (const ReanalysisEntry& e : entries) {
    bool tagged = true;
    for (const ReanalysisPiece& p : e.pieces) tagged = tagged && !p.tag.empty();
    if (!tagged) {
      unplaced.push_back(e.line);
      continue;
    }
    byItem.emplace(std::make_pair(std::string_view(e.item.morpheme), std::string_view(e.item.tag)),
                   &e);
  }
  if (byItem.empty()) return unplaced;
  // One copy for the whole pass: pieces may land in any tag's column, also one walked later.
  const CountTable original = counts;
  for (const std::string& tag : scopeTags) {
    const Column* column = original.find(tag);
    if (column == nullptr) continue;
    for (const ColumnEntry& e : sortedEntries(*column)) {
      const auto match = byItem.find({e.item, std::string_view(tag)});
      if (match == byItem.end()) continue;
      counts.column(tag).erase(e.item);
      for (const ReanalysisPiece& piece : match->second->pieces) {
        addInto(counts.column(piece.tag)[piece.morpheme], e.cell->count, e.cell->documents);
      }
    }
  }
  return unplaced;
}

std::optional<std::string> strippedOfMarkers(std::string_view item) {
  static constexpr std::string_view kMarkers = "#%&*@";
  std::size_t runStart = std::string_view::npos;  // start of the trailing run of markers
  for (std::size_t i = 0; i < item.size(); i = cp949::nextChar(item, i)) {
    const bool marker =
        cp949::charLength(item, i) == 1 && kMarkers.find(item[i]) != std::string_view::npos;
    if (!marker) {
      runStart = std::string_view::npos;
    } else if (runStart == std::string_view::npos) {
      runStart = i;
    }
  }
  if (runStart == std::string_view::npos || runStart == 0) return std::nullopt;
  return std::string(item.substr(0, runStart));
}

namespace {

void stripColumn(CountTable& counts, const std::string& tag) {
  rewriteColumn(counts, tag, [&](const ColumnEntry& e, Column& column) {
    const std::optional<std::string> stripped = strippedOfMarkers(e.item);
    if (!stripped) return;
    addInto(column[*stripped], e.cell->count, e.cell->documents);
    column.erase(e.item);
  });
}

}  // namespace

void specUhwe(CountTable& counts) { stripColumn(counts, kVocabularyColumn); }

void specPumsa(CountTable& counts, const std::vector<std::string>& scopeTags) {
  // The marker pass never moves counts between tags, so each column is its own pass.
  for (const std::string& tag : scopeTags) stripColumn(counts, tag);
}

}  // namespace selvanor::stats
