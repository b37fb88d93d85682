// The concordance window from the grid's menu and the corpus manager.
#include <QScreen>
#include <QTableView>

#include "analysis/concordance_query.h"
#include "app/selvanor_view.h"
#include "app/system_profile.h"
#include "common/files.h"
#include "stats/morpheme_splitter.h"
#include "ui/concordance_window.h"
#include "ui_base/grid_model.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

void CSelvanorView::showConcordance(std::vector<std::string> documents, const QString& query) {
  if (!concordance_) {
    if (!systemProfile_) systemProfile_ = openSystemProfile(this);
    ConcordanceHooks hooks;
    hooks.showRecord = [this](const std::string& document, std::uint32_t record, const std::string& serial) {
      return showConcordanceRecord(document, record, serial);
    };
    concordance_ = std::make_unique<ConcordanceWindow>(ui_, tags_, *systemProfile_, std::move(hooks), this);
    concordance_->setWindowFlag(Qt::Window);
  }
  concordance_->setDocuments(std::move(documents));
  concordance_->show();
  concordance_->raise();
  concordance_->activateWindow();
  if (!query.isEmpty()) {
    concordance_->setQuery(query);
    concordance_->runQuery();
  }
}

void CSelvanorView::concordanceOfCurrentRow(bool morpheme) {
  const int row = currentRow();
  const AnalysisRecord* record = gridLoaded_ && row >= 0 ? cache_.record(row) : nullptr;
  if (!record) return;
  std::string query;
  if (morpheme) {
    MorphemeSplitter splitter;
    (void)splitter.SetText(record->analysis);
    const Morpheme* first = splitter.NextMorpheme();
    if (!first || first->text.empty()) return;
    std::string form = first->text;
    if (first->marker != '\0') form += first->marker;
    query = analysis::morphemeQuery(form, first->tag);
  } else {
    query = analysis::wordQuery(record->word);
  }
  showConcordance({cache_.path()}, fromCp949(query));
}

QRect CSelvanorView::showConcordanceRecord(const std::string& document, std::uint32_t record,
                                           const std::string& serial) {
  if (!gridLoaded_ || !cache_.isOpen() || !sameFile(document, cache_.path())) {
    chooseDocument(fromNativePath(document));
    startAnalysis();  // says so when the document holds no records
  }
  if (!gridLoaded_ || !cache_.isOpen()) return {};
  // After edits the record number may have moved; the serial decides.
  int row = static_cast<int>(record) - 1;
  const AnalysisRecord* at = row >= 0 ? cache_.record(row) : nullptr;
  if (!at || at->serial != serial) {
    const auto found = cache_.find(GridColumn::Serial, serial, 0, SearchDirection::Down);
    row = found.status == RowCache::FindStatus::Found ? found.row : -1;
  }
  if (row < 0) {
    ui_.warning(QStringLiteral("문헌에 이 일련 번호가 없습니다: ") + fromCp949(serial));
    return {};
  }
  selectRow(row);
  grid_->scrollTo(model_->index(row, 0));
  window()->raise();
  const QRect cell = grid_->visualRect(model_->index(row, 0));
  return {grid_->viewport()->mapToGlobal(QPoint(0, cell.top())), QSize(grid_->viewport()->width(), cell.height())};
}

}  // namespace selvanor
