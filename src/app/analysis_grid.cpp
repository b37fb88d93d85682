#include "app/analysis_grid.h"

#include <QHeaderView>
#include <QScrollBar>

namespace selvanor {

AnalysisGrid::AnalysisGrid(QWidget* parent) : QTableView(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setTextElideMode(Qt::ElideRight);  // the whole analysis is in the cell's tooltip
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setMinimumSectionSize(40);
}

QModelIndex AnalysisGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QAbstractItemModel* m = model();
  if (!m || m->rowCount() == 0) return QTableView::moveCursor(action, modifiers);
  const int last = m->rowCount() - 1;
  const int row = std::max(currentIndex().row(), 0);
  switch (action) {
    case MoveHome: return m->index(0, 0);
    case MoveEnd: return m->index(last, 0);
    case MoveLeft:
    case MoveRight: {
      QScrollBar* bar = horizontalScrollBar();
      bar->setValue(bar->value() + (action == MoveLeft ? -1 : 1) * bar->singleStep() * 4);
      return m->index(row, 0);
    }
    default: break;
  }
  const QModelIndex moved = QTableView::moveCursor(action, modifiers);
  return moved.isValid() ? m->index(moved.row(), 0) : moved;
}

}  // namespace selvanor
