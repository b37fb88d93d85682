// stats, stats-listing.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/export_output.h"
#include "cli/terminal.h"
#include "common/encoding.h"
#include "facade/dbwrap.h"
#include "stats/consonant_range.h"
#include "stats/statistics_listing.h"
#include "stats/statistics_run.h"
#include "stats/statistics_selection.h"
#include "stats/statistics_source.h"
#include "stats/tag_manager.h"
#include "store/corpus/document_list.h"


namespace selvanor::cli {
namespace {

// What the two commands share: the tag file, the type and the type-5 picks.
struct TagArgs {
  int type = 0;
  std::string tagFile;
  std::string output;
  std::vector<std::string> range;  // one or two choices of the picker (UTF-8)
  std::string classes;             // comma-separated class names (UTF-8)
  int level = 1;
};

struct StatsArgs : TagArgs {
  std::string list;
  std::vector<std::string> groups;
  std::vector<std::string> documents;
  std::string options;
  std::string sort;
  bool descending = false;
  std::string reanalysis;
  bool buildMissing = false;
  bool perMillion = false;
  bool docRange = false;
  bool utf8 = false;
  std::string date;  // hidden: a fixed header date for tests
};

// A command's own usage error: the message, then exit 2.
struct UsageError {
  std::string message;
};

// The picker's two consonant choices as bounds (none given: 전체). Empty optional (after
// a message) when a choice is not in the picker's lists.
std::optional<stats::SyllableRange> rangeOf(const std::vector<std::string>& choices) {
  if (choices.empty()) return stats::consonantRange(stats::kWholeRange, 0);
  std::optional<std::string> lower = argumentToCp949(choices.front());
  std::optional<std::string> upper = argumentToCp949(choices.back());
  if (!lower || !upper) return std::nullopt;
  const std::optional<int> l = stats::lowerChoiceIndex(*lower);
  const std::optional<int> u = stats::upperChoiceIndex(*upper);
  if (!l || !u) {
    printMessage(
        "--range 에는 아래쪽으로 전체 또는 ㄱ ㄴ ㄷ ㄹ ㅁ ㅂ ㅅ ㅇ ㅈ ㅊ ㅋ ㅌ ㅍ ㅎ, "
        "위쪽으로 ㄱ ... ㅎ 가운데 하나를 주십시오.");
    return std::nullopt;
  }
  return stats::consonantRange(*l, stats::adjustedUpperChoice(*l, *u));
}

// The scope tags of a run or listing type; for type 5 the picked classes' tags.
std::optional<std::vector<std::string>> scopeTagsOf(TagManager& tags, const TagArgs& a) {
  if (a.type != 5) return stats::scopeTagsForType(tags, a.type);
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= a.classes.size()) {
    const std::size_t comma = std::min(a.classes.find(',', start), a.classes.size());
    auto name = argumentToCp949(a.classes.substr(start, comma - start));
    if (!name) return std::nullopt;
    if (!name->empty()) {
      if (tags.FindEntry(*name, a.level) == nullptr) {
        printMessage("태그 파일에 없는 분류입니다 (단계 " + std::to_string(a.level) +
                     "): " + display(*name));
        return std::nullopt;
      }
      names.push_back(std::move(*name));
    }
    start = comma + 1;
  }
  return stats::tagsForClasses(tags, names, a.level);
}

// Checks that --classes and --range go with type 5 only, and that type 5 has classes.
std::optional<UsageError> checkTypeFive(const TagArgs& a) {
  if (a.type == 5 && a.classes.empty()) {
    return UsageError{"--type 5 (품사 표지 통계)에는 --classes 로 분류를 골라 주십시오."};
  }
  if (a.type != 5 && (!a.classes.empty() || !a.range.empty())) {
    return UsageError{"--classes 와 --range 는 --type 5 에만 씁니다."};
  }
  return std::nullopt;
}

// The selection, or the exit code of why there is none.
struct Selection {
  std::vector<stats::RunEntry> entries;
  int exitCode = kExitOk;
};

// Groups of the corpus manager's list as folder entries, each followed by its documents.
// A group name the list lacks is a usage error, as in the other list-driven commands.
Selection entriesFromList(const StatsArgs& a) {
  corpus::DocumentList list;
  if (!list.load(a.list, /*createIfMissing=*/false)) {
    printMessage(corpus::loadFailedMessage(a.list));
    return {{}, kExitFailed};
  }
  for (const std::string& notice : corpus::loadNotices(list.loadReport())) printMessage(notice);
  std::vector<std::string> wanted;
  for (const std::string& g : a.groups) {
    auto name = argumentToCp949(g);
    if (!name) return {{}, kExitUsage};
    const bool listed = std::any_of(list.groups().begin(), list.groups().end(),
                                    [&](const corpus::ListGroup& lg) { return lg.name == *name; });
    if (!listed) {
      printMessage("문헌 목록에 없는 그룹입니다: " + g);
      return {{}, kExitUsage};
    }
    wanted.push_back(std::move(*name));
  }
  return {stats::entriesFromGroups(list, wanted)};
}

// Plain documents form one folder named after the first document's folder.
std::vector<stats::RunEntry> entriesFromDocuments(const std::vector<std::string>& documents) {
  std::string name = std::filesystem::path(documents.front()).parent_path().filename().string();
  encoding::Conversion c = encoding::utf8ToCp949(name);
  std::vector<stats::RunEntry> entries{
      {stats::RunEntry::Folder, c && !c.text->empty() ? *c.text : encoding::cp949Literal("문헌")}};
  for (const std::string& d : documents) entries.push_back({stats::RunEntry::Document, d});
  return entries;
}

// Missing or stale statistics files: built with --build-missing, otherwise named.
bool statisticsReady(const std::vector<stats::RunEntry>& entries, bool buildMissing) {
  const auto problems = stats::checkStatisticsFiles(stats::documentsOf(entries));
  if (problems.empty()) return true;
  printMessage(stats::statisticsProblemsMessage(problems));
  if (!buildMissing) {
    printMessage("--build-missing 을 주면 통계용 파일을 먼저 만듭니다.");
    return false;
  }
  DBWrap db;
  const auto failures = stats::buildStatisticsFiles(
      problems, [&db](const std::string& document) { return db.makeTongDB(document); });
  if (!failures.empty()) {
    printMessage(corpus::jobOutcomeMessage(corpus::msg::kStatisticsDone, failures));
    return false;
  }
  printMessage(corpus::msg::kStatisticsDone);
  return true;
}

int outcome(const stats::RunOutcome& o) {
  for (const std::string& notice : o.notices) printMessage(notice);
  if (!o.ok()) return report(false, o.message);
  if (!isStandardOutput(o.path)) printResult("결과 파일: " + o.path);
  return reportExport(true, o.message, o.path);
}

std::optional<std::string> optionString(const StatsArgs& a) {
  std::string options = a.options.empty() ? stats::defaultOptionString(a.type) : a.options;
  if (!stats::ReportOptions::parse(options)) {
    printMessage(stats::msg::kBadOptions + options);
    return std::nullopt;
  }
  if (!a.sort.empty()) options[8] = a.sort == "item" ? '1' : a.sort == "tag" ? '2' : '3';
  if (a.descending) options[9] = '1';
  return options;
}

int runStats(const StatsArgs& a) {
  if (a.list.empty() == a.documents.empty()) {
    printMessage("--list 와 문헌 파일 가운데 하나로 통계 대상을 주십시오.");
    return kExitUsage;
  }
  if (!a.groups.empty() && a.list.empty()) {
    printMessage("--group 은 --list 와 함께 씁니다.");
    return kExitUsage;
  }
  if (auto usage = checkTypeFive(a)) {
    printMessage(usage->message);
    return kExitUsage;
  }
  const std::optional<std::string> options = optionString(a);
  if (!options) return kExitUsage;
  std::optional<stats::SyllableRange> range = rangeOf(a.range);
  if (!range) return kExitUsage;
  TagManager tags;
  if (const TagLoadResult loaded = tags.Load(a.tagFile); !loaded) return report(false, loaded.error);
  stats::RunRequest request;
  request.type = a.type;
  auto scope = scopeTagsOf(tags, a);
  if (!scope) return kExitUsage;  // a class name the tag file lacks
  request.scopeTags = std::move(*scope);
  request.fullTags = tags.AllTags();
  Selection selection =
      a.list.empty() ? Selection{entriesFromDocuments(a.documents)} : entriesFromList(a);
  if (selection.exitCode != kExitOk) return selection.exitCode;
  request.entries = std::move(selection.entries);
  if (!statisticsReady(request.entries, a.buildMissing)) return kExitFailed;
  request.resultPath = a.output;
  if (a.type == 5) request.range = *range;
  request.options = *options;
  request.reanalysisPath = a.reanalysis;
  request.date = a.date;
  request.perMillion = a.perMillion;
  request.docRange = a.docRange;
  request.utf8 = a.utf8;
  DBWrap db;
  return outcome(db.runTongStat(request));
}

int runListing(const TagArgs& a, const std::vector<std::string>& documents) {
  if (auto usage = checkTypeFive(a)) {
    printMessage(usage->message);
    return kExitUsage;
  }
  std::optional<stats::SyllableRange> range = rangeOf(a.range);
  if (!range) return kExitUsage;
  TagManager tags;
  if (const TagLoadResult loaded = tags.Load(a.tagFile); !loaded) return report(false, loaded.error);
  auto scope = scopeTagsOf(tags, a);
  if (!scope) return kExitUsage;  // a class name the tag file lacks
  stats::ListingRequest request;
  request.type = a.type;
  request.documents = documents;
  request.tags = std::move(*scope);
  if (a.type == 5) request.range = *range;
  request.outputPath = a.output;
  DBWrap db;
  return outcome(db.writeStatisticsListings(request));
}

void addTagOptions(CLI::App* c, TagArgs& a) {
  c->add_option("--tags", a.tagFile, "tag file (CP949), e.g. tag.txt")->required();
  c->add_option("--range", a.range,
                "type 5: first syllables from LOWER to UPPER, as the picker's consonants "
                "ㄱ ... ㅎ (LOWER may be 전체, which ignores UPPER); default 전체: 가 ... 힝")
      ->expected(2)
      ->allow_extra_args(false);
  c->add_option("--classes", a.classes,
                "type 5: comma-separated names of the tag set to take the tags of");
  c->add_option("--level", a.level,
                "level of the --classes names: 1 class (default), 2 item, 3 sub-item")
      ->check(CLI::Range(1, 3));
}

}  // namespace

void registerStatisticsCommands(CLI::App& app, int& exitCode) {
  auto s = std::make_shared<StatsArgs>();
  CLI::App* c = app.add_subcommand(
      "stats",
      "Statistics run: a frequency report over documents and folders, summed from "
      "their statistics files");
  c->add_option("--type", s->type,
                "1 vocabulary, 2 vocabulary + tag (every tag); 3, 4 the same over content "
                "tags (실질어); 6, 7 over relational tags (형식어); 5 the --classes tags within "
                "the --range syllables (품사표지)")
      ->required()
      ->check(CLI::Range(1, 7));
  c->add_option("--out", s->output,
                "report file to write (replaced only when the run succeeds); - for standard output")
      ->required();
  addTagOptions(c, *s);
  c->add_option("--list", s->list,
                "document list file (dblist.dat): each group is a folder with its documents");
  c->add_option("--group", s->groups, "with --list: only this group (repeatable)")
      ->allow_extra_args(false);
  c->add_option("DOC", s->documents, "analysis documents (.id), counted as one folder");
  c->add_option("--options", s->options,
                "11 characters: columns 순서 항목 품사 빈도 백분율 누적빈도 누적백분율 폴더별, "
                "sort key 1 item / 2 tag / 3 frequency, 0 ascending / 1 descending, "
                "1 ignore marker symbols (default 11110000100 tagged, 11010000100 vocabulary)");
  c->add_option("--sort", s->sort, "sort key, overriding --options")
      ->check(CLI::IsMember({"item", "tag", "frequency"}));
  c->add_flag("--descending", s->descending, "descending order, overriding --options");
  c->add_option(
      "--reanalysis", s->reanalysis,
      "re-analysis file: lines ITEM/TAG PIECE/TAG... moving ITEM's count onto the pieces");
  c->add_flag("--build-missing", s->buildMissing,
              "build missing or outdated statistics files first (otherwise they are named "
              "and the run stops)");
  c->add_flag("--per-million", s->perMillion, "add a per-million rate column");
  c->add_flag("--doc-range", s->docRange,
              "add a column with the number of documents each item occurs in");
  c->add_flag("--utf8", s->utf8, "write the report as UTF-8 instead of CP949");
  c->add_option("--date", s->date)->group("");  // fixed header date (tests)
  c->callback([s, &exitCode] { exitCode = runStats(*s); });

  auto l = std::make_shared<TagArgs>();
  auto documents = std::make_shared<std::vector<std::string>>();
  CLI::App* d = app.add_subcommand(
      "stats-listing",
      "Single-document statistics: each document's listing, one after another in one file");
  d->add_option("--type", l->type,
                "1 vocabulary, 2 vocabulary + tag (every tag); 3, 4 the same over content "
                "tags; 5 the --classes tags within the --range syllables")
      ->required()
      ->check(CLI::Range(1, 5));
  d->add_option("--out", l->output, "text file to write (CP949); - for standard output")
      ->required();
  addTagOptions(d, *l);
  d->add_option("DOC", *documents, "analysis documents (.id)")->required();
  d->callback([l, documents, &exitCode] { exitCode = runListing(*l, *documents); });
}

}  // namespace selvanor::cli
