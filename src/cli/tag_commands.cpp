// check, tags.
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "stats/tag_manager.h"
#include "stats/work_error_check.h"

namespace selvanor::cli {
namespace {

std::string joinForDisplay(const std::vector<std::string>& tags) {
  std::string out;
  for (const auto& t : tags) {
    if (!out.empty()) out += ' ';
    out += display(t);
  }
  return out;
}

int runTags(const std::string& tagFile) {
  TagManager tags;
  if (const TagLoadResult loaded = tags.Load(tagFile); !loaded) {
    printMessage(loaded.error);
    return kExitFailed;
  }
  if (const auto* classes = tags.GetClassList(1)) {
    for (const TagNode& c : *classes) {
      printResult("#1 " + display(c.name));
      for (const TagNode& item : c.children) {
        printResult("  #2 " + display(item.name) + " / " + display(item.tag));
        for (const TagNode& sub : item.children) {
          printResult("    #3 " + display(sub.name) + " / " + display(sub.tag));
        }
      }
    }
  }
  const auto list = [&](const char* title, const std::vector<std::string>& l) {
    printResult(std::string(title) + " (" + std::to_string(l.size()) + "): " + joinForDisplay(l));
  };
  list("AllTags", tags.AllTags());
  list("ContentTags", tags.ContentTags());
  list("RelationalTags", tags.RelationalTags());
  list("MarkerSymbols", tags.MarkerSymbols());
  return kExitOk;
}

int runCheck(const std::string& doc, const std::string& tagFile) {
  TagManager tags;
  if (const TagLoadResult loaded = tags.Load(tagFile); !loaded) {
    printMessage(loaded.error);
    return kExitFailed;
  }
  WorkErrorListener listener;
  listener.failing = [](const AnalysisRecord& r) {
    printResult(display(r.serial) + " " + display(r.word) + " " + display(r.analysis));
    return true;
  };
  listener.message = [](std::string_view m) { printMessage(m); };
  if (runWorkErrorCheck(doc, tags, listener) != result::kOk) {
    printMessage(std::string(workcheck::msg::kCannotOpen) + " [" + doc + "]");
    return kExitFailed;
  }
  printMessage(workcheck::msg::kDone);
  return kExitOk;
}

}  // namespace

void registerTagCommands(CLI::App& app, int& exitCode) {
  auto check = std::make_shared<std::pair<std::string, std::string>>();
  CLI::App* c = app.add_subcommand(
      "check", "Work-error check: list every record whose analysis uses an unknown tag");
  c->add_option("DOC", check->first, "analysis document (.id)")->required();
  c->add_option("--tags", check->second, "tag file (CP949)")->required();
  c->callback([check, &exitCode] { exitCode = runCheck(check->first, check->second); });

  auto tagFile = std::make_shared<std::string>();
  CLI::App* t = app.add_subcommand("tags", "Show the classes and tag lists of a tag file");
  t->add_option("TAGFILE", *tagFile, "tag file (CP949)")->required();
  t->callback([tagFile, &exitCode] { exitCode = runTags(*tagFile); });
}

}  // namespace selvanor::cli
