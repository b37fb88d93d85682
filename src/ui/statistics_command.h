// 통계 실행 from the first step to the report: selection, range (with the tag picker),
// presentation, a check of the documents' statistics files, the run with its progress,
// and the report in the viewer. Each step is a dialog of its own; this class only strings
// them together, and tests replace the steps.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "stats/statistics_request.h"
#include "ui/statistics_presentation_dialog.h"
#include "ui/tag_picker_dialog.h"

class QWidget;

namespace selvanor {

class TagManager;
class UserInteraction;

// What the range step decided.
struct RangeChoice {
  int type = 1;
  std::string resultPath;
  std::optional<TagPick> pick;  // type 5
};

class StatisticsCommand {
 public:
  using SelectionStep = std::function<std::optional<std::vector<stats::RunEntry>>()>;
  using RangeStep = std::function<std::optional<RangeChoice>()>;
  using PresentationStep = std::function<std::optional<Presentation>(int type)>;
  using ReportOpener = std::function<void(const QString& path, bool utf8)>;

  // `tags` must be loaded; `listFile` is the corpus manager's document list.
  StatisticsCommand(UserInteraction& ui, const TagManager& tags, std::string listFile, QWidget* parent);

  void setSelectionStep(SelectionStep s) { selection_ = std::move(s); }
  void setRangeStep(RangeStep s) { range_ = std::move(s); }
  void setPresentationStep(PresentationStep s) { presentation_ = std::move(s); }
  void setReportOpener(ReportOpener o) { openReport_ = std::move(o); }

  // Runs the steps; any cancelled step ends the command with nothing written.
  void run();

 private:
  // Offers to build missing or outdated statistics files; false when the run cannot go on.
  [[nodiscard]] bool statisticsReady(const std::vector<stats::RunEntry>& entries);
  [[nodiscard]] stats::RunOutcome runWithProgress(const stats::RunRequest& request);

  UserInteraction& ui_;
  const TagManager& tags_;
  std::string listFile_;
  QWidget* parent_;
  SelectionStep selection_;
  RangeStep range_;
  PresentationStep presentation_;
  ReportOpener openReport_;
};

}  // namespace selvanor
