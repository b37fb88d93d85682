// The view's handlers of the analysis reviews (작업 파일 내 재검토, 참조 파일과 비교) with
// their report viewer and list window, and of the batch modification (분석 문헌 수정).
#include <QApplication>
#include <QMainWindow>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>

#include <memory>

#include "app/error_log_window.h"
#include "app/selvanor_view.h"
#include "app/system_profile.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "lexicon/analysis_review.h"
#include "ui/batch_modification_dialog.h"
#include "ui/compare_reference_dialog.h"
#include "ui/review_list_window.h"
#include "ui_base/grid_model.h"
#include "ui_base/qt_text.h"
#include "ui_base/report_viewer.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

OpenDocumentHandle CSelvanorView::gridDocumentHandle() {
  if (!gridLoaded_ || !cache_.isOpen()) return {};
  // The selected row is taken before the cache closes: without records the grid has no rows.
  auto row = std::make_shared<int>(-1);
  return {context_.currentDocument,
          [this, row] {
            *row = currentRow();
            dropHistory(kHistoryDroppedRewritten);  // another operation writes the file now
            cache_.close();
          },
          [this, row] {
            reloadDocument();
            if (*row > 0) selectRow(std::min(*row, model_->rowCount() - 1));
          }};
}

void CSelvanorView::showStatus(const QString& line) {
  if (auto* frame = qobject_cast<QMainWindow*>(window())) frame->statusBar()->showMessage(line);
}

// ---- reviews ---------------------------------------------------------------------

void CSelvanorView::reviewInDocumentCommand() {
  const QString report =
      ui_.chooseSaveFile(QStringLiteral("분석 파일 (*.txt)|*.txt||"), QStringLiteral("*.txt"));
  if (report.isEmpty()) return;
  review::GroupCollector groups(kMaxListedGroups);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  DBWrap db;
  const review::ReviewOutcome outcome =
      db.bunsukDBReview(nativePath(report), context_.currentDocument, groups.sink());
  QApplication::restoreOverrideCursor();
  // The completion message on success; a failure names what could not be read or written.
  ui_.message(QString::fromStdString(outcome.message));
  if (outcome) showReviewResults(report, groups.takeGroups(), groups.total());
}

void CSelvanorView::compareWithReferenceCommand() {
  CompareReferenceDialog dialog(ui_, kMaxListedGroups, this);
  if (dialog.exec() != QDialog::Accepted) return;
  showReviewResults(dialog.reportPath(), dialog.takeGroups(), dialog.totalGroups());
}

void CSelvanorView::showReviewResults(const QString& report, std::vector<review::ReviewGroup> groups,
                                      std::size_t total) {
  reviewReport_ = std::make_unique<ReportViewer>(ui_, this);
  if (reviewReport_->open(report)) reviewReport_->show();
  ReviewGridHooks hooks;
  hooks.showOccurrence = [this](const review::Occurrence& o) { showReviewOccurrence(o); };
  hooks.gridCursor = [this](const std::string& document) -> DocumentCursor* {
    if (!gridLoaded_ || !cache_.isOpen() || !sameFile(document, cache_.path())) return nullptr;
    return &cache_.cursor();
  };
  hooks.gridChanged = [this] {
    dropHistory(kHistoryDroppedRewritten);  // written past the grid's edits
    const int row = std::max(currentRow(), 0);
    cache_.recount();
    cache_.recentre(row);
    afterChange(row);
  };
  reviewList_ = std::make_unique<ReviewListWindow>(ui_, std::move(hooks), this);
  reviewList_->setResults(report, std::move(groups), total);
  reviewList_->show();
}

void CSelvanorView::showReviewOccurrence(const review::Occurrence& occurrence) {
  if (!gridLoaded_ || !cache_.isOpen() || !sameFile(occurrence.document, context_.currentDocument)) {
    chooseDocument(fromNativePath(occurrence.document));
    startAnalysis();  // says so when the document holds no records
  }
  if (!cache_.isOpen()) return;
  // The record number may be stale after edits; the serial decides.
  int row = static_cast<int>(occurrence.recordNumber) - 1;
  const AnalysisRecord* at = row >= 0 ? cache_.record(row) : nullptr;
  if (!at || at->serial != occurrence.record.serial) {
    const auto found = cache_.find(GridColumn::Serial, occurrence.record.serial, 0, SearchDirection::Down);
    row = found.status == RowCache::FindStatus::Found ? found.row : -1;
  }
  if (row < 0) {
    ui_.warning(QStringLiteral("문헌에 이 일련 번호가 없습니다: ") + fromCp949(occurrence.record.serial));
    return;
  }
  selectRow(row);
  grid_->setFocus();
  window()->raise();
  window()->activateWindow();
}

// ---- batch modification -------------------------------------------------------------

void CSelvanorView::modifyDocumentsCommand() {
  if (!systemProfile_) systemProfile_ = openSystemProfile(this);
  BatchHooks hooks;
  hooks.status = [this](const QString& line) { showStatus(line); };
  hooks.errorLog = [this](const std::string& line) {
    if (errorLog_) errorLog_->append(line);
  };
  hooks.openDocument = gridDocumentHandle();
  hooks.profile = systemProfile_;
  BatchModificationDialog dialog(ui_, context_.documentListFile, context_.homonymDictionary, tags_,
                                 std::move(hooks), this);
  dialog.exec();
  systemProfile_->sync();
}

}  // namespace selvanor
