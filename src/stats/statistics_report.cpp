#include "stats/statistics_report.h"

#include <unistd.h>

#include <charconv>
#include <cstdio>

#include "common/encoding.h"
#include "common/files.h"
#include "stats/report_order.h"

namespace selvanor::stats {
namespace {

// The report's fixed words, in CP949.
struct Words {
  std::string date, file, targets, scope, vocabulary, tagged, tagRange, names;
  std::string number, item, tag, frequency, percent, cumulativeFrequency, cumulativePercent;
  std::string perMillion, docRange;
};

const Words& words() {
  static const Words w = [] {
    const auto k = encoding::cp949Literal;
    return Words{k("작업 날짜 : "),
                 k("파일 이름 : "),
                 k("대상 문헌 : "),
                 k("통계 범위 : "),
                 k("어휘"),
                 k("어휘 + 품사표지"),
                 k("품사표지"),
                 k("폴더/문헌 명칭"),
                 k("순서\t"),
                 k("항목\t"),
                 k("품사\t"),
                 k("빈도\t"),
                 k("백분율\t"),
                 k("누적빈도\t"),
                 k("누적백분율\t"),
                 k(kPerMillionHead) + "\t",
                 k(kDocRangeHead) + "\t"};
  }();
  return w;
}

struct Style {
  std::string_view prefix;  // "# " or "* "
  std::string_view eol;     // "\r\n" or "\n"
  const std::string* scope;
};

constexpr std::string_view kDashes = "------------------------------------------------------------";

void appendHeader(std::string& out, const ReportInput& in, const Style& s) {
  const Words& w = words();
  out.append(s.prefix).append(w.date).append(in.date).append(s.eol);
  out.append(s.prefix).append(w.file).append(in.resultPath).append(s.eol);
  out.append(s.prefix).append(w.targets);
  for (const RunEntry& e : in.entries) {
    if (e.kind == RunEntry::Folder) out.append(e.name).append("  ");
  }
  out.append(s.eol);
  out.append(s.prefix).append(w.scope).append(*s.scope).append(s.eol);
  out.append(s.prefix).append(w.names);
  for (const RunEntry& e : in.entries) {
    if (e.kind == RunEntry::Folder) {
      out.append(s.eol).append(" ").append(e.name).append(" : ");
    } else if (e.kind == RunEntry::Document) {
      out.append(" ").append(s.eol).append("\t").append(e.name).append(" ");
    }
  }
  out.append(s.eol).append(s.eol);
  out.append(kDashes).append(s.eol);
  const ReportOptions& o = in.options;
  const std::pair<bool, const std::string*> heads[] = {
      {o.number, &w.number},
      {o.item, &w.item},
      {o.tag, &w.tag},
      {o.frequency, &w.frequency},
      {o.percent, &w.percent},
      {o.cumulativeFrequency, &w.cumulativeFrequency},
      {o.cumulativePercent, &w.cumulativePercent}};
  for (const auto& [on, head] : heads) {
    if (on) out.append(*head);
  }
  for (const RunEntry& e : in.entries) {
    if (e.kind == RunEntry::Folder) out.append(e.name).append("\t");
  }
  if (in.perMillion) out.append(w.perMillion);
  if (in.docRange) out.append(w.docRange);
  out.append(s.eol);
  out.append(kDashes).append(s.eol);
}

void appendInt(std::string& out, long long n) {
  char buffer[24];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, n);
  out.append(buffer, r.ptr);
  out += '\t';
}

void appendFormatted(std::string& out, const char* format, double value) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, format, value);
  if (n > 0)
    out.append(buffer, static_cast<std::size_t>(n) < sizeof buffer ? n : sizeof buffer - 1);
}

// Writes the rows of one report; holds the running number and the cumulative count.
// `columnTags` name the columns rows come from: the scope tags, or the vocabulary column.
class RowWriter {
 public:
  RowWriter(const ReportInput& in, const std::vector<std::string>& columnTags, long long total)
      : in_(in), total_(total) {
    // Each row looks its item up in every folder: resolve the folders' columns once.
    for (const CountTable& folder : *in.folders) {
      std::vector<const Column*> columns;
      for (const std::string& tag : columnTags) columns.push_back(folder.find(tag));
      folderColumns_.push_back(std::move(columns));
    }
  }

  void write(std::string& out, const ReportRow& row) {
    const ReportOptions& o = in_.options;
    const long long count = row.cell->count;
    ++number_;
    cumulative_ += count;
    if (o.number) appendInt(out, number_);
    if (o.item) out.append(row.item).append("\t");
    if (o.tag && row.tag != kNoTag) out.append(in_.scopeTags[row.tag]).append("\t");
    if (o.frequency) appendInt(out, count);
    if (o.percent) appendFormatted(out, "%f\t", singlePrecisionPercent(count, total_));
    if (o.cumulativeFrequency) appendInt(out, cumulative_);
    if (o.cumulativePercent)
      appendFormatted(out, "%f\t", singlePrecisionPercent(cumulative_, total_));
    if (o.folderColumns) {
      const std::size_t t = row.tag == kNoTag ? 0 : row.tag;
      for (const auto& columns : folderColumns_) appendInt(out, countIn(columns[t], row.item));
    }
    if (in_.perMillion) {
      appendFormatted(out, "%.2f\t",
                      static_cast<double>(count) / static_cast<double>(total_) * 1e6);
    }
    if (in_.docRange) appendInt(out, static_cast<long long>(row.cell->documents.size()));
    out += '\n';
  }

 private:
  static long long countIn(const Column* column, std::string_view item) {
    const Cell* cell = column == nullptr ? nullptr : column->find(item);
    return cell == nullptr ? 0 : cell->count;
  }

  const ReportInput& in_;
  long long total_;
  long long number_ = 0;
  long long cumulative_ = 0;
  std::vector<std::vector<const Column*>> folderColumns_;
};

long long totalOf(const Column* column) {
  long long total = 0;
  if (column != nullptr) {
    for (const ColumnEntry e : *column) total += e.cell->count;
  }
  return total;
}

}  // namespace

float singlePrecisionPercent(long long part, long long whole) {
  return static_cast<float>(part) * 100.0f / static_cast<float>(whole);
}

std::string TongTextView(const ReportInput& in) {
  static constexpr std::string_view kCrLf = "\r\n";
  static const std::vector<std::string> kVocabularyColumns{kVocabularyColumn};
  const Column* column = in.total->find(kVocabularyColumn);
  std::string out;
  appendHeader(out, in, Style{"# ", kCrLf, &words().vocabulary});
  if (column != nullptr) {
    RowWriter writer(in, kVocabularyColumns, totalOf(column));
    for (const ReportRow& row :
         vocabularyRows(*column, in.options.sortKey, in.options.descending)) {
      writer.write(out, row);
    }
  }
  out.append(kCrLf);
  return out;
}

std::string printUHWEPUMSA(const ReportInput& in) {
  const Words& w = words();
  std::string out;
  appendHeader(out, in, Style{"* ", "\n", in.type == 5 ? &w.tagRange : &w.tagged});
  long long total = 0;
  for (const std::string& tag : in.scopeTags) total += totalOf(in.total->find(tag));
  RowWriter writer(in, in.scopeTags, total);
  for (const ReportRow& row :
       taggedRows(*in.total, in.scopeTags, in.options.sortKey, in.options.descending)) {
    if (in.type == 5 && !inSyllableRange(row.item, in.range)) continue;
    writer.write(out, row);
  }
  return out;
}

bool writeReportFile(const std::string& path, std::string_view text) {
  if (isStandardOutput(path)) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
  }
  FileReplacement replacement(path);
  FilePtr file = openFile(replacement.temporaryPath(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
                       std::fflush(file.get()) == 0 && ::fsync(::fileno(file.get())) == 0;
  if (std::fclose(file.release()) != 0 || !written) return false;
  return replacement.commit();
}

}  // namespace selvanor::stats
