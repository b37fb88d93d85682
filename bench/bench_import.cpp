// Import against build on the same tokens: the build of a CP949 numbered text is the
// floor; the import reads the same tokens as UTF-8 and UTF-16 text with markup and as
// CoNLL-U, and the ratios say what decoding, markup and CoNLL-U cost on top (target: at
// most 1.5). The CoNLL-U and TSV exports are timed beside the CP949 text export. Each
// time is the best of three runs.
//
//   bench_import [--tokens N]... [--corpus FILE] [--dir DIR]
//
// Default size 10^6 tokens; text cycles through the bundled sample (or FILE).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <unistd.h>
#include <string>
#include <vector>

#include "bench_support.h"
#include "common/diagnostics.h"
#include "common/encoding.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/interchange/conllu_format.h"
#include "store/interchange/import_decisions.h"

using namespace selvanor;
using namespace selvanor::bench;
using namespace selvanor::interchange;

namespace {

// The numbered CP949 text as distributed: UTF-8, a header block, <p> every 20 tokens.
bool writeMarkedUtf8(const std::string& cp949Text, const std::string& out) {
  LineReader in(cp949Text);
  FilePtr f = openFile(out, "wb");
  if (!in.isOpen() || !f) return false;
  std::string block = "<teiHeader>\n<title>bench</title>\n</teiHeader>\n<text>\n";
  long n = 0;
  while (auto line = in.next()) {
    if (n % 20 == 0) block += n == 0 ? "<p>\n" : "</p>\n<p>\n";
    block += *encoding::cp949ToUtf8(*line).text;
    block += '\n';
    ++n;
    if (block.size() > (1 << 20)) {
      std::fwrite(block.data(), 1, block.size(), f.get());
      block.clear();
    }
  }
  block += "</p>\n</text>\n";
  return std::fwrite(block.data(), 1, block.size(), f.get()) == block.size();
}

// UTF-16LE with its mark, converted from UTF-8 (the BMP is enough for the sample).
bool writeUtf16(const std::string& utf8File, const std::string& out) {
  const std::string text = [&] {
    FilePtr f = openFile(utf8File, "rb");
    std::string all;
    char buf[1 << 16];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f.get())) > 0;) all.append(buf, n);
    return all;
  }();
  std::string wide = "\xFF\xFE";
  wide.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
    unsigned cp = len == 1 ? c : len == 2 ? (c & 0x1F) : (c & 0x0F);
    for (std::size_t j = 1; j < len; ++j) cp = (cp << 6) | (static_cast<unsigned char>(text[i + j]) & 0x3F);
    i += len;
    wide += static_cast<char>(cp & 0xFF);
    wide += static_cast<char>(cp >> 8);
  }
  FilePtr f = openFile(out, "wb");
  return f && std::fwrite(wide.data(), 1, wide.size(), f.get()) == wide.size();
}

// The same tokens as CoNLL-U (UTF-8), sentences ending after SF.
bool writeConllu(const std::vector<Token>& tokens, long count, const std::string& out) {
  FilePtr f = openFile(out, "wb");
  if (!f) return false;
  std::vector<std::string> lines;  // "FORM\tLEMMA\t_\tXPOS\t..." per distinct token
  std::vector<bool> ends;
  for (const Token& t : tokens) {
    const conllu::Columns c = conllu::columnsOf({"", t.word, t.analysis});
    lines.push_back(*encoding::cp949ToUtf8(c.form + "\t" + c.lemma + "\t_\t" + c.xpos).text +
                    "\t_\t_\t_\t_\t_\n");
    ends.push_back(conllu::endsSentence(t.analysis));
  }
  std::string block;
  long id = 0;
  for (long i = 0; i < count; ++i) {
    const std::size_t k = static_cast<std::size_t>(i) % tokens.size();
    block += std::to_string(++id);
    block += '\t';
    block += lines[k];
    if (ends[k] || id == 50) {
      block += '\n';
      id = 0;
    }
    if (block.size() > (1 << 20)) {
      std::fwrite(block.data(), 1, block.size(), f.get());
      block.clear();
    }
  }
  return std::fwrite(block.data(), 1, block.size(), f.get()) == block.size();
}

bool importFile(const std::string& input, const std::string& output, long expected) {
  const Inspection inspection = inspectSource(input, ImportFormat::Auto, Encoding::Auto);
  if (!inspection.plan) return false;
  DBWrap db;
  const ImportOutcome o = db.importBunsukDB({input, output, "BENCH01", true, false}, *inspection.plan);
  return o.code == result::kOk && static_cast<long>(o.counts.records) == expected;
}

// The fastest of three runs: the machine is shared, and one slow run says nothing of the code.
RunStats best(const std::function<bool()>& work) {
  RunStats b = runMeasured(work);
  for (int i = 0; i < 2 && b.ok; ++i) {
    const RunStats r = runMeasured(work);
    if (!r.ok) return r;
    if (r.seconds < b.seconds) b = r;
  }
  return b;
}

void ratio(const char* what, const RunStats& s, const RunStats& floor) {
  if (floor.seconds > 0) std::printf("%-36s %.2f\n", what, s.seconds / floor.seconds);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<long> sizes;
  std::string corpus = SELVANOR_SAMPLE_TEXT;
  std::string dir = "/tmp";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--tokens") && i + 1 < argc) sizes.push_back(std::atol(argv[++i]));
    else if (!std::strcmp(argv[i], "--corpus") && i + 1 < argc) corpus = argv[++i];
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--tokens N]... [--corpus FILE] [--dir DIR]\n", argv[0]);
      return 2;
    }
  }
  if (sizes.empty()) sizes = {1000000};
  const std::vector<Token> tokens = loadTokens(corpus);
  if (tokens.empty()) {
    std::fprintf(stderr, "no tokens in %s\n", corpus.c_str());
    return 1;
  }
  setDiagnosticSink([](std::string_view) {});  // the exports' console banner
  std::printf("corpus: %s (%zu distinct lines cycled)\n", corpus.c_str(), tokens.size());
  const std::string base = dir + "/selvanor-bench-import-" + std::to_string(getpid());
  for (long n : sizes) {
    const std::string text = base + ".txt", utf8 = base + "-utf8.txt", utf16 = base + "-utf16.txt",
                      conll = base + ".conllu", doc = base + ".id", out = base + ".out";
    writeNumberedText(text, tokens, n);
    if (!writeMarkedUtf8(text, utf8) || !writeUtf16(utf8, utf16) || !writeConllu(tokens, n, conll)) {
      std::fprintf(stderr, "cannot write the inputs in %s\n", dir.c_str());
      return 1;
    }
    const RunStats build = best([&] {
      DBWrap db;
      return db.makeBunsukDB(text, doc, "", SerialMode::Numbered, true) == result::kOk;
    });
    const RunStats cp949 = best([&] { return importFile(text, doc, n); });
    const RunStats fromUtf8 = best([&] { return importFile(utf8, doc, n); });
    const RunStats fromUtf16 = best([&] { return importFile(utf16, doc, n); });
    const RunStats fromConllu = best([&] { return importFile(conll, doc, n); });
    const RunStats textExport = best([&] {
      return interchange::exportDocument(DocumentFormat::Text, doc, out).code == result::kOk;
    });
    const RunStats conlluExport = best([&] {
      return interchange::exportDocument(DocumentFormat::Conllu, doc, out).code == result::kOk;
    });
    const RunStats tsvExport = best([&] {
      return interchange::exportDocument(DocumentFormat::Tsv, doc, out).code == result::kOk;
    });
    printRow("floor: build of CP949 text", n, build);
    printRow("import CP949 text", n, cp949);
    printRow("import UTF-8 text with markup", n, fromUtf8);
    printRow("import UTF-16LE text with markup", n, fromUtf16);
    printRow("import CoNLL-U", n, fromConllu);
    printRow("floor: text export (CP949)", n, textExport);
    printRow("export CoNLL-U", n, conlluExport);
    printRow("export TSV", n, tsvExport);
    ratio("import CP949 / build", cp949, build);
    ratio("import UTF-8 with markup / build", fromUtf8, build);
    ratio("import UTF-16 with markup / build", fromUtf16, build);
    ratio("import CoNLL-U / build", fromConllu, build);
    ratio("export CoNLL-U / text export", conlluExport, textExport);
    ratio("export TSV / text export", tsvExport, textExport);
    std::printf("\n");
    for (const std::string& f : {text, utf8, utf16, conll, doc, out}) removeFile(f);
  }
  return 0;
}
