#include "lexicon/review_report.h"

#include <unistd.h>

#include <cstdio>

namespace selvanor::review {
namespace {

constexpr std::size_t kFlushBytes = 1 << 16;

}  // namespace

GroupSink GroupCollector::sink() {
  return [this](const ReviewGroup& group) {
    ++total_;
    if (groups_.size() < max_) groups_.push_back(group);
  };
}

std::vector<ReviewGroup> GroupCollector::takeGroups() {
  std::vector<ReviewGroup> out = std::move(groups_);
  groups_.clear();
  return out;
}

void GroupCollector::clear() {
  groups_.clear();
  total_ = 0;
}

void comparableAnalysis(std::string_view analysis, std::string& out) {
  out.clear();
  for (const char c : analysis) {
    if (c != ' ' && c != '\t' && c != '\n') out.push_back(c);
  }
}

void appendReportLine(std::string& out, const AnalysisRecord& record, const RecordContext& context) {
  out += record.serial;
  out += ' ';
  out += record.word;
  out += ' ';
  out += record.analysis;
  out += " \t";
  out += context.before;
  out += " -";
  out += context.after;
  out += " \n";
}

ReportWriter::ReportWriter(const std::string& path)
    : replacement_(path), file_(openFile(replacement_.temporaryPath(), "wb")) {}

bool ReportWriter::flushBuffer() {
  if (!buffer_.empty() &&
      std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size()) {
    failed_ = true;
  }
  buffer_.clear();
  return !failed_;
}

bool ReportWriter::write(std::string_view text) {
  if (!file_ || failed_) return false;
  for (const char c : text) {
    if (c == '\n') buffer_ += '\r';
    buffer_ += c;
  }
  return buffer_.size() < kFlushBytes || flushBuffer();
}

bool ReportWriter::commit() {
  if (!file_ || failed_ || !flushBuffer()) return false;
  // The report must be on disk before it replaces the old one.
  const bool written = std::fflush(file_.get()) == 0 && ::fsync(::fileno(file_.get())) == 0;
  const bool closed = std::fclose(file_.release()) == 0;
  return written && closed && replacement_.commit();
}

}  // namespace selvanor::review
