#include "store/interchange/interchange_export.h"

#include <optional>

#include "common/cp949.h"
#include "common/encoding.h"
#include "common/unicode_nfc.h"
#include "store/engine/codecs.h"
#include "store/interchange/conllu_format.h"
#include "store/interchange/document_export.h"
#include "store/document/analysis_record.h"

namespace selvanor::interchange {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// Formatters collect CP949 text and hand it on as UTF-8 in blocks (iconv per block, not
// per field). A block that does not convert whole is converted with U+FFFD for each byte
// that has no mapping, and those are counted.
class Utf8Formatter : public RecordFormatter {
 public:
  [[nodiscard]] std::size_t replaced() const { return replaced_; }
  [[nodiscard]] std::size_t records() const { return records_; }

  bool append(std::string_view, std::string_view value, std::string& out) final {
    std::optional<AnalysisRecord> record = codec::decodeRecord(value);
    if (!record) return false;
    ++records_;
    add(*record);
    if (pending_.size() >= kBlockBytes) flush(out);
    return true;
  }
  void end(std::string& out) final {
    finish();
    flush(out);
  }

 protected:
  static constexpr std::size_t kBlockBytes = 16 * 1024;
  // Adds the CP949 text of one record to pending_ (and whatever it completes).
  virtual void add(const AnalysisRecord& record) = 0;
  virtual void finish() {}
  // Moves pending_ to `out` as UTF-8; pending_ must end at a character boundary.
  void flush(std::string& out) {
    if (pending_.empty()) return;
    encoding::Conversion c = encoding::cp949ToUtf8(pending_);
    std::string text;
    if (c) {
      text = std::move(*c.text);
    } else {
      text = encoding::cp949ToUtf8Lossy(pending_);
      for (std::size_t at = text.find(kReplacementUtf8); at != std::string::npos;
           at = text.find(kReplacementUtf8, at + kReplacementUtf8.size())) {
        ++replaced_;
      }
    }
    if (nfc_) unicode::composeCp949Singletons(text);
    out += text;
    pending_.clear();
  }

  std::string pending_;
  bool nfc_ = false;  // write NFC (the UD validator checks it)

 private:
  std::size_t replaced_ = 0;
  std::size_t records_ = 0;
};

class TextUtf8Formatter final : public Utf8Formatter {
  void add(const AnalysisRecord& r) override { pending_ += recordLine(r, "\t", "\n"); }
};

class TsvFormatter final : public Utf8Formatter {
 public:
  void begin(std::string& out) override { out += "serial\tword\tanalysis\n"; }

 private:
  void field(std::string_view text) {
    // '"', tab and line ends are below 0x41: never the second byte of a character.
    if (text.find_first_of("\"\t\r\n") == std::string_view::npos) {
      pending_.append(text);
      return;
    }
    pending_ += '"';
    for (const char c : text) {
      if (c == '"') pending_ += '"';
      pending_ += c;
    }
    pending_ += '"';
  }
  void add(const AnalysisRecord& r) override {
    field(r.serial);
    pending_ += '\t';
    field(r.word);
    pending_ += '\t';
    field(r.analysis);
    pending_ += '\n';
  }
};

class ConlluFormatter final : public Utf8Formatter {
 public:
  ConlluFormatter() { nfc_ = true; }
  [[nodiscard]] std::size_t sentences() const { return sentences_; }

 private:
  void add(const AnalysisRecord& r) override {
    conllu::Columns c = conllu::columnsOf(r);
    if (tokens_.empty()) {
      sentId_.clear();
      cp949::appendWithout(r.serial, " \t\r\n\f\v", sentId_);
      if (sentId_.empty()) sentId_ = std::to_string(sentences_ + 1);
      text_.clear();
    } else {
      text_ += ' ';
    }
    text_ += c.form;
    tokens_ += std::to_string(++id_);
    for (const std::string* column : {&c.form, &c.lemma}) {
      tokens_ += '\t';
      tokens_ += *column;
    }
    tokens_ += "\t_\t";
    tokens_ += c.xpos;
    tokens_ += "\t_\t_\t_\t_\t_\n";
    if (conllu::endsSentence(r.analysis)) closeSentence();
  }
  void finish() override { closeSentence(); }

  void closeSentence() {
    if (tokens_.empty()) return;
    ++sentences_;
    pending_ += "# sent_id = ";
    pending_ += sentId_;
    pending_ += "\n# text = ";
    pending_ += text_;
    pending_ += '\n';
    pending_ += tokens_;
    pending_ += '\n';
    tokens_.clear();
    id_ = 0;
  }

  std::string tokens_;  // the token lines of the open sentence
  std::string sentId_;
  std::string text_;
  std::size_t id_ = 0;
  std::size_t sentences_ = 0;
};

}  // namespace

const char* exportExtension(DocumentFormat format) {
  switch (format) {
    case DocumentFormat::Conllu:
      return ".conllu";
    case DocumentFormat::Tsv:
      return ".tsv";
    case DocumentFormat::Text:
    case DocumentFormat::TextUtf8:
      break;
  }
  return ".txt";
}

ExportOutcome exportDocument(DocumentFormat format, const std::string& source,
                             const std::string& output) {
  ExportOutcome outcome;
  constexpr const char* kBanner = "\n\nbunsuk result file \n\n";
  if (format == DocumentFormat::Text) {
    outcome.code = printDBcont(ExportKind::Document, source, output);
    return outcome;
  }
  TextUtf8Formatter text;
  TsvFormatter tsv;
  ConlluFormatter conll;
  Utf8Formatter& formatter = format == DocumentFormat::Conllu ? static_cast<Utf8Formatter&>(conll)
                             : format == DocumentFormat::Tsv  ? static_cast<Utf8Formatter&>(tsv)
                                                              : text;
  outcome.code = writeRecordExport("exportBunsukDB", source, output, formatter, kBanner);
  outcome.records = formatter.records();
  outcome.replaced = formatter.replaced();
  outcome.sentences = conll.sentences();
  return outcome;
}

}  // namespace selvanor::interchange
