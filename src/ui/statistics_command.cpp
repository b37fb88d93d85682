#include "ui/statistics_command.h"

#include <QApplication>
#include <QProgressDialog>

#include "facade/dbwrap.h"
#include "stats/statistics_selection.h"
#include "stats/statistics_source.h"
#include "stats/tag_manager.h"
#include "ui/statistics_range_dialog.h"
#include "ui/statistics_selection_dialog.h"
#include "ui_base/qt_text.h"
#include "ui_base/report_viewer.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

StatisticsCommand::StatisticsCommand(UserInteraction& ui, const TagManager& tags, std::string listFile,
                                     QWidget* parent)
    : ui_(ui), tags_(tags), listFile_(std::move(listFile)), parent_(parent) {
  selection_ = [this]() -> std::optional<std::vector<stats::RunEntry>> {
    StatisticsSelectionDialog dialog(ui_, listFile_, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.entries();
  };
  range_ = [this]() -> std::optional<RangeChoice> {
    StatisticsRangeDialog dialog(ui_, [this]() -> std::optional<TagPick> {
      TagPickerDialog picker(ui_, tags_, parent_);
      if (picker.exec() != QDialog::Accepted) return std::nullopt;
      return picker.pick();
    }, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return RangeChoice{dialog.runType(), dialog.resultPath(), dialog.tagPick()};
  };
  presentation_ = [this](int type) -> std::optional<Presentation> {
    StatisticsPresentationDialog dialog(ui_, type, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.presentation();
  };
  openReport_ = [this](const QString& path, bool utf8) {
    ReportViewer viewer(ui_, parent_);
    if (viewer.open(path, utf8)) viewer.exec();
  };
}

void StatisticsCommand::run() {
  const std::optional<std::vector<stats::RunEntry>> entries = selection_();
  if (!entries || entries->empty()) return;
  const std::optional<RangeChoice> range = range_();
  if (!range) return;
  const std::optional<Presentation> presentation = presentation_(range->type);
  if (!presentation) return;

  stats::RunRequest request;
  request.entries = *entries;
  request.type = range->type;
  request.fullTags = stats::uniqueTags(tags_.AllTags());
  request.scopeTags = range->type == 5 && range->pick ? range->pick->tags
                                                      : stats::scopeTagsForType(tags_, range->type);
  if (range->pick) request.range = range->pick->range;
  request.resultPath = range->resultPath;
  request.options = presentation->options;
  request.reanalysisPath = presentation->reanalysisPath;
  request.perMillion = presentation->perMillion;
  request.docRange = presentation->docRange;
  request.utf8 = presentation->utf8;
  if (!statisticsReady(request.entries)) return;

  const stats::RunOutcome outcome = runWithProgress(request);
  // The report opens only when it was written; otherwise the user is told why.
  if (!outcome.ok()) {
    ui_.message(QString::fromStdString(outcome.message));
    return;
  }
  if (!outcome.notices.empty()) {
    std::string text;
    for (const std::string& n : outcome.notices) text += n + "\n";
    ui_.message(QString::fromStdString(text));
  }
  openReport_(fromNativePath(request.resultPath), request.utf8);
}

bool StatisticsCommand::statisticsReady(const std::vector<stats::RunEntry>& entries) {
  const std::vector<stats::StatisticsProblem> problems =
      stats::checkStatisticsFiles(stats::documentsOf(entries));
  if (problems.empty()) return true;
  const std::string question =
      stats::statisticsProblemsMessage(problems) + "\n\n" + stats::msg::kBuildFirstQuestion;
  if (!ui_.askYesNo(QString::fromStdString(question))) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  DBWrap db;
  const std::vector<corpus::JobFailure> failures = stats::buildStatisticsFiles(
      problems, [&db](const std::string& document) { return db.makeTongDB(document); });
  QApplication::restoreOverrideCursor();
  if (failures.empty()) return true;
  ui_.message(QString::fromStdString(corpus::jobOutcomeMessage(corpus::msg::kStatisticsDone, failures)));
  return false;
}

stats::RunOutcome StatisticsCommand::runWithProgress(const stats::RunRequest& request) {
  QProgressDialog progress(QStringLiteral("통계를 내고 있습니다."), QStringLiteral("취소"), 0,
                           static_cast<int>(request.entries.size()), parent_);
  progress.setWindowTitle(QStringLiteral("통계 실행"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  DBWrap db;
  stats::RunOutcome outcome = db.runTongStat(request, [&progress](const stats::RunProgress& p) {
    progress.setValue(static_cast<int>(p.done));
    QApplication::processEvents();
    return !progress.wasCanceled();
  });
  progress.reset();
  progress.hide();
  return outcome;
}

}  // namespace selvanor
