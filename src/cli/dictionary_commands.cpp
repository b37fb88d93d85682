// homonym build|lookup|add|remove|merge, unregistered find|add|remove|merge,
// export homonym|unregistered.
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/export_output.h"
#include "cli/terminal.h"
#include "common/derived_paths.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/unregistered_dictionary.h"
#include "facade/dbwrap.h"
#include "store/interchange/dictionary_dump.h"

namespace selvanor::cli {
namespace {

// Message boxes break lines with CR LF; the terminal takes LF.
std::string terminalLines(std::string text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

// Every argument as CP949, or false (the reason already printed).
bool toCp949(std::initializer_list<std::pair<const std::string*, std::string*>> args) {
  for (const auto& [utf8, cp949] : args) {
    auto converted = argumentToCp949(*utf8);
    if (!converted) return false;
    *cp949 = std::move(*converted);
  }
  return true;
}

struct HomonymArgs {
  std::string source, out;           // build
  std::string dictionary, other;     // every other command; merge: dictionary is the base
  std::string headword, numbered, hanja, meaning;
};

int runBuild(const HomonymArgs& a) {
  const std::string dictionary = a.out.empty() ? derived::homonymDictionary(a.source) : a.out;
  DBWrap db;
  const ResultCode rc = db.makeDongumDB(a.source, dictionary);
  if (rc == result::kOk) return report(true, homonym::msg::kBuilt);
  if (rc == DBWrap::kDongumFormatError) {
    printMessage(terminalLines(homonym::formatErrorMessage(db.dongumFormatError())));
  }
  return report(false, homonym::msg::kBuildFailed);
}

int runLookup(const HomonymArgs& a) {
  DBWrap::DongumEntry key;
  if (!toCp949({{&a.headword, &key.headword}})) return kExitFailed;
  DBWrap db;
  std::vector<DBWrap::DongumEntry> entries;
  const ResultCode rc = db.getDongum(a.dictionary, key.headword, entries);
  if (rc == DBWrap::kDongumUnavailable) return report(false, homonym::msg::kCannotOpen);
  // An absent head word lists nothing, as the page does.
  for (const auto& e : entries) {
    printResult(display(e.headword) + "\t" + display(e.numberedForm) + "\t" + display(e.hanja) +
                "\t" + display(dump::noteOnOneLine(e.meaning)));
  }
  return kExitOk;
}

int runAdd(const HomonymArgs& a) {
  DBWrap::DongumEntry entry;
  if (!toCp949({{&a.headword, &entry.headword},
                {&a.numbered, &entry.numberedForm},
                {&a.hanja, &entry.hanja},
                {&a.meaning, &entry.meaning}})) {
    return kExitFailed;
  }
  DBWrap db;
  switch (db.addDongumRec(a.dictionary, entry)) {
    case result::kOk:
      return report(true, homonym::msg::kAdded);
    case result::kAlreadyExists:
      return report(false, homonym::msg::kDuplicate);
    case result::kOpenError:
      return report(false, homonym::msg::kCannotOpen);
    default:
      return report(false, homonym::msg::kCannotWrite);
  }
}

int runRemove(const HomonymArgs& a) {
  DBWrap::DongumEntry entry;
  if (!toCp949({{&a.headword, &entry.headword}, {&a.numbered, &entry.numberedForm}})) {
    return kExitFailed;
  }
  DBWrap db;
  switch (db.removeDongumRec(a.dictionary, entry.headword, entry.numberedForm)) {
    case result::kOk:
      return report(true, homonym::msg::kRemoved);
    case result::kKeyNotFound:
      return report(false, homonym::msg::kNotFound);
    case result::kOpenError:
      return report(false, homonym::msg::kCannotOpen);
    default:
      return report(false, homonym::msg::kCannotWrite);
  }
}

struct UnregisteredArgs {
  std::string dictionary, other;  // merge: dictionary is the base
  std::string word, note;
  bool replace = false;
};

int runFind(const UnregisteredArgs& a) {
  std::string prefix;
  if (!toCp949({{&a.word, &prefix}})) return kExitFailed;
  DBWrap db;
  std::vector<DBWrap::MideungjaeEntry> entries;
  if (db.FindMideungjae(a.dictionary, prefix, entries) != DBWrap::kMideungjaeFound) {
    return report(false, unregistered::msg::kCannotOpen);
  }
  for (const auto& e : entries) {
    printResult(display(e.word) + "\t" + display(dump::noteOnOneLine(e.note)));
  }
  return kExitOk;
}

int runAddWord(const UnregisteredArgs& a) {
  std::string word, note;
  if (!toCp949({{&a.word, &word}, {&a.note, &note}})) return kExitFailed;
  DBWrap db;
  switch (db.addMideungjae(a.dictionary, word, note, a.replace)) {
    case result::kOk:
      return report(true, unregistered::msg::kAdded);
    case result::kAlreadyExists:
      return report(false, std::string(unregistered::msg::kExists) + " (--replace)");
    case result::kOpenError:
      return report(false, unregistered::msg::kCannotOpen);
    default:
      return report(false, unregistered::msg::kCannotWrite);
  }
}

int runRemoveWord(const UnregisteredArgs& a) {
  std::string word;
  if (!toCp949({{&a.word, &word}})) return kExitFailed;
  DBWrap db;
  switch (db.removeMideungjae(a.dictionary, word)) {
    case result::kOk:
      return report(true, unregistered::msg::kRemoved);
    case result::kOpenError:
      return report(false, unregistered::msg::kCannotOpen);
    default:
      return report(false, unregistered::msg::kNotFound);
  }
}

void registerHomonym(CLI::App& app, int& exitCode) {
  auto a = std::make_shared<HomonymArgs>();
  CLI::App* h = app.add_subcommand("homonym", "Homonym dictionary (.dic): build, look up, edit, merge");
  h->require_subcommand(1);

  CLI::App* b = h->add_subcommand("build", "Build a dictionary from a homonym source text");
  b->add_option("SOURCE", a->source,
                "source text (CP949): #1headword#2numbered#3hanja#5meaning records")
      ->required();
  b->add_option("--out", a->out, "dictionary to write (default: SOURCE with extension .dic)");
  b->callback([a, &exitCode] { exitCode = runBuild(*a); });

  CLI::App* l = h->add_subcommand("lookup", "List the senses of a head word");
  l->add_option("DIC", a->dictionary, "homonym dictionary (.dic)")->required();
  l->add_option("WORD", a->headword, "head word, exactly as stored")->required();
  l->callback([a, &exitCode] { exitCode = runLookup(*a); });

  CLI::App* ad = h->add_subcommand("add", "Add a sense after the head word's others (creates DIC)");
  ad->add_option("DIC", a->dictionary, "homonym dictionary (.dic)")->required();
  ad->add_option("HEADWORD", a->headword, "head word (음)")->required();
  ad->add_option("NUMBERED", a->numbered, "numbered form (음번호), unique per head word")->required();
  ad->add_option("HANJA", a->hanja, "hanja (한자)")->required();
  ad->add_option("MEANING", a->meaning, "meaning (의미)")->required();
  ad->callback([a, &exitCode] { exitCode = runAdd(*a); });

  CLI::App* r = h->add_subcommand("remove", "Remove one sense of a head word");
  r->add_option("DIC", a->dictionary, "homonym dictionary (.dic)")->required();
  r->add_option("HEADWORD", a->headword, "head word (음)")->required();
  r->add_option("NUMBERED", a->numbered, "numbered form (음번호) of the sense")->required();
  r->callback([a, &exitCode] { exitCode = runRemove(*a); });

  CLI::App* m = h->add_subcommand("merge", "Add the senses of OTHER to BASE; BASE's own stay first");
  m->add_option("BASE", a->dictionary, "dictionary merged into (created when missing)")->required();
  m->add_option("OTHER", a->other, "dictionary merged in (not changed)")->required();
  m->callback([a, &exitCode] {
    DBWrap db;
    const ResultCode rc = db.mergeDongumDB(a->dictionary, a->other);
    exitCode = report(rc == result::kOk, homonym::mergeOutcomeMessage(homonym::msg::kMergeMode, rc));
  });
}

void registerUnregistered(CLI::App& app, int& exitCode) {
  auto a = std::make_shared<UnregisteredArgs>();
  CLI::App* u = app.add_subcommand("unregistered",
                                   "Unregistered-word dictionary (.mdj): find, edit, merge");
  u->require_subcommand(1);

  CLI::App* f = u->add_subcommand("find", "List the words beginning with PREFIX, with their notes");
  f->add_option("DIC", a->dictionary, "unregistered-word dictionary (.mdj)")->required();
  f->add_option("PREFIX", a->word, "beginning of the words (default: every word)");
  f->callback([a, &exitCode] { exitCode = runFind(*a); });

  CLI::App* ad = u->add_subcommand("add", "Add a word and its note (creates DIC)");
  ad->add_option("DIC", a->dictionary, "unregistered-word dictionary (.mdj)")->required();
  ad->add_option("WORD", a->word, "unregistered word (미등재어)")->required();
  ad->add_option("NOTE", a->note, "note (비고)")->required();
  ad->add_flag("--replace", a->replace, "replace the note of a word already there");
  ad->callback([a, &exitCode] { exitCode = runAddWord(*a); });

  CLI::App* r = u->add_subcommand("remove", "Remove a word");
  r->add_option("DIC", a->dictionary, "unregistered-word dictionary (.mdj)")->required();
  r->add_option("WORD", a->word, "unregistered word (미등재어)")->required();
  r->callback([a, &exitCode] { exitCode = runRemoveWord(*a); });

  CLI::App* m = u->add_subcommand("merge", "Add the words of OTHER that BASE lacks");
  m->add_option("BASE", a->dictionary, "dictionary merged into (created when missing)")->required();
  m->add_option("OTHER", a->other, "dictionary merged in (not changed)")->required();
  m->callback([a, &exitCode] {
    DBWrap db;
    const ResultCode rc = db.mergeMideungjaeDB(a->dictionary, a->other);
    exitCode = report(rc == result::kOk,
                      homonym::mergeOutcomeMessage(unregistered::msg::kMergeMode, rc));
  });
}

void registerExports(CLI::App& exportCommand, int& exitCode) {
  auto paths = std::make_shared<std::pair<std::string, std::string>>();
  CLI::App* h = exportCommand.add_subcommand(
      "homonym", "Homonym dictionary: one #1..#2..#3..#5.. source line per sense");
  h->add_option("DIC", paths->first, "homonym dictionary (.dic)")->required();
  h->add_option("OUTPUT", paths->second, "text file to write (CP949); - for standard output")
      ->required();
  h->callback([paths, &exitCode] {
    DBWrap db;
    const ResultCode rc = db.printDBcont(ExportKind::Homonym, paths->first, paths->second);
    exitCode = reportExport(rc == result::kOk, homonym::saveOutcomeMessage(rc), paths->second);
  });

  CLI::App* u = exportCommand.add_subcommand(
      "unregistered", "Unregistered-word dictionary: key:[word]<TAB>memo:[note] per word");
  u->add_option("DIC", paths->first, "unregistered-word dictionary (.mdj)")->required();
  u->add_option("OUTPUT", paths->second, "text file to write (CP949); - for standard output")
      ->required();
  u->callback([paths, &exitCode] {
    DBWrap db;
    const ResultCode rc = db.printDBcont(ExportKind::Unregistered, paths->first, paths->second);
    exitCode = reportExport(rc == result::kOk, unregistered::saveOutcomeMessage(rc), paths->second);
  });
}

}  // namespace

void registerDictionaryCommands(CLI::App& app, CLI::App& exportCommand, int& exitCode) {
  registerHomonym(app, exitCode);
  registerUnregistered(app, exitCode);
  registerExports(exportCommand, exitCode);
}

}  // namespace selvanor::cli
