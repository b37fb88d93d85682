// The view's undo and redo of grid edits, and the record position it reports. The
// history itself (store/grid/edit_history.h) is told of every edit stored through the row
// cache, whoever made it: the grid commands, the editor, the search window's 수정 and the
// homonym correction window.
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTableView>

#include "app/selvanor_view.h"
#include "ui_base/grid_model.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

void CSelvanorView::connectHistory() {
  cache_.setChangeListener([this](const RecordChange& change) {
    history_.record(change);
    emit historyChanged();
  });
  auto position = [this] { emit positionChanged(positionText()); };
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, position);
  connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, position);
  connect(model_, &QAbstractItemModel::modelReset, this, position);
  // Whether there is anything to take back depends on the grid being loaded too.
  connect(this, &CSelvanorView::documentStateChanged, this, &CSelvanorView::historyChanged);
}

QString CSelvanorView::positionText() const {
  if (!gridLoaded_ || !cache_.isOpen()) return {};
  const int row = currentRow();
  const QString count = QString::number(model_->rowCount());
  return (row < 0 ? QStringLiteral("-") : QString::number(row + 1)) + QStringLiteral(" / ") + count;
}

void CSelvanorView::undoEdit() { stepHistory(true); }

void CSelvanorView::redoEdit() { stepHistory(false); }

void CSelvanorView::stepHistory(bool undo) {
  if (!gridLoaded_ || !cache_.isOpen()) return;
  const EditHistory::Step step = undo ? history_.undo(cache_) : history_.redo(cache_);
  switch (step.outcome) {
    case EditHistory::Outcome::Nothing:
      return;
    case EditHistory::Outcome::Done:
      break;
    case EditHistory::Outcome::Stale:
      ui_.message(QString::fromUtf8(kHistoryStale));
      break;
    case EditHistory::Outcome::Failed:
      ui_.message(QString::fromUtf8(undo ? kUndoNotStored : kRedoNotStored));
      break;
  }
  afterChange(step.row);
  emit historyChanged();
}

void CSelvanorView::dropHistory(const char* notice) {
  if (!history_.canUndo() && !history_.canRedo()) return;
  history_.clear();
  showStatus(QString::fromUtf8(notice));
  emit historyChanged();
}

}  // namespace selvanor
