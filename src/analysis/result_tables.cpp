#include "analysis/result_tables.h"

#include <cstdio>

#include "common/encoding.h"
#include "common/files.h"

namespace selvanor::analysis {

std::string tsvField(std::string_view cp949) {
  std::string text = encoding::cp949ToUtf8Lossy(cp949);
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

namespace {
// A path is UTF-8 already: only the separators a field cannot hold are replaced.
std::string pathField(const std::string& path) {
  std::string text = path;
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return text;
}
}  // namespace

std::string decimal(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.4f", value);
  return buffer;
}

std::string concordanceLine(const Hit& hit, const std::string& document) {
  return pathField(document) + "\t" + tsvField(hit.serial) + "\t" + tsvField(hit.leftText()) + "\t" +
         tsvField(hit.hitText()) + "\t" + tsvField(hit.rightText()) + "\t" + tsvField(hit.analysisText()) + "\n";
}

std::string countsTable(const ConcordanceResult& result) {
  std::string text(kCountsHeader);
  for (const DocumentCount& d : result.documents) {
    text += pathField(d.path) + "\t" + std::to_string(d.hits) + "\t" + decimal(d.perMillion()) + "\t" +
            std::to_string(d.tokens) + "\n";
  }
  text += "total\t" + std::to_string(result.totalHits) + "\t" + decimal(result.perMillion()) + "\t" +
          std::to_string(result.totalTokens) + "\n";
  return text;
}

std::string collocateLine(const Collocate& c) {
  const Measures& m = c.measures;
  return tsvField(c.text) + "\t" + std::to_string(c.observed) + "\t" + std::to_string(c.frequency) + "\t" +
         decimal(m.expected) + "\t" + decimal(m.mi) + "\t" + decimal(m.t) + "\t" + decimal(m.logLikelihood) + "\t" +
         decimal(m.logDice) + "\n";
}

bool writeTextFile(const std::string& path, std::string_view text) {
  FileReplacement replacement(path);
  if (!replacement.refusal().empty()) return false;
  {
    FilePtr file = openFile(replacement.temporaryPath(), "wb");
    if (!file || std::fwrite(text.data(), 1, text.size(), file.get()) != text.size()) return false;
    if (std::fclose(file.release()) != 0) return false;
  }
  return replacement.commit();
}

}  // namespace selvanor::analysis
