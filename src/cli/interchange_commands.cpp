// import: analysed text with markup (UTF-8, UTF-16, CP949) or CoNLL-U into a document.
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "facade/dbwrap.h"
#include "store/document/build_decisions.h"
#include "store/interchange/import_decisions.h"

namespace selvanor::cli {
namespace {

struct ImportOptions {
  std::string input;
  std::string output;
  std::string format = "auto";
  std::string encoding = "auto";
  std::string prefix;
  bool noDa = false;
  bool replaceUnmappable = false;
};

int runImport(const ImportOptions& o) {
  using namespace interchange;
  const std::optional<ImportFormat> format = importFormatNamed(o.format);
  const std::optional<Encoding> encoding = encodingNamed(o.encoding);
  if (!format || !encoding) {
    printMessage("--format는 auto, text, conllu 가운데 하나, --encoding은 auto, cp949, utf-8, "
                 "utf-16 가운데 하나여야 합니다.");
    return kExitUsage;
  }
  const ImportPlan plan = planImport(o.input, o.output, std::string(), *format, *encoding);
  if (plan.refusal) {
    printMessage(*plan.refusal);
    return kExitFailed;
  }
  ImportRequest request{o.input, o.output, {}, !o.noDa, o.replaceUnmappable};
  if (plan.needsPrefix()) {
    auto converted = serialPrefixArgument(o.prefix);
    if (!converted) return kExitFailed;
    request.prefix = std::move(*converted);
  }
  DBWrap db;
  const ImportOutcome outcome = db.importBunsukDB(request, *plan.source);
  return report(outcome.code == result::kOk, outcomeMessage(outcome, *plan.source));
}

}  // namespace

void registerInterchangeCommands(CLI::App& app, int& exitCode) {
  auto o = std::make_shared<ImportOptions>();
  CLI::App* c = app.add_subcommand(
      "import", "Analysed text with markup (UTF-8, UTF-16, CP949) or CoNLL-U to a document (.id)");
  c->add_option("INPUT", o->input,
                "analysed text (serial, word, analysis per line; <tag> lines and header blocks "
                "skipped) or CoNLL-U")
      ->required();
  c->add_option("OUTPUT", o->output, "document to create (replaced only on success)")->required();
  c->add_option("--format", o->format,
                "auto (default: .conllu/.conll or ten-column token lines are CoNLL-U), text, "
                "conllu")
      ->check(CLI::IsMember({"auto", "text", "conllu"}));
  c->add_option("--encoding", o->encoding,
                "auto (default: a byte-order mark decides, else UTF-8 when valid, else CP949), "
                "cp949, utf-8, utf-16")
      ->check(CLI::IsMember({"auto", "cp949", "utf-8", "utf-16"}));
  c->add_option("--prefix", o->prefix,
                "7-character serial prefix, needed for CoNLL-U and for text without serial "
                "numbers (serials in token order)");
  c->add_flag("--no-da", o->noDa,
              "do not attach 다 to verb stems (keeps a CoNLL-U LEMMA as it is, so that its "
              "export gives it back)");
  c->add_flag("--replace-unmappable", o->replaceUnmappable,
              "write characters CP949 cannot hold as □ and count them (default: stop and name "
              "the line)");
  c->callback([o, &exitCode] { exitCode = runImport(*o); });
}

}  // namespace selvanor::cli
