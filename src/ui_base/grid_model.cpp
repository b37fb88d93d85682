#include "ui_base/grid_model.h"

#include "ui_base/qt_text.h"
#include "store/grid/row_cache.h"

namespace selvanor {

AnalysisGridModel::AnalysisGridModel(RowCache& cache, QObject* parent)
    : QAbstractTableModel(parent), cache_(cache) {}

void AnalysisGridModel::setLoaded(bool loaded) {
  beginResetModel();
  loaded_ = loaded;
  endResetModel();
}

void AnalysisGridModel::refresh() {
  beginResetModel();
  endResetModel();
}

int AnalysisGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !loaded_ || !cache_.isOpen()) return 0;
  return std::max(cache_.recordCount(), 0);
}

int AnalysisGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant AnalysisGridModel::data(const QModelIndex& index, int role) const {
  // The word and the analysis carry their whole text as a tooltip too: a long one is cut
  // at the column's edge.
  const bool tip = role == Qt::ToolTipRole && index.column() > 0;
  if ((role != Qt::DisplayRole && !tip) || !index.isValid() || !loaded_) return {};
  const AnalysisRecord* r = cache_.record(index.row());
  if (!r) return {};
  return fromCp949(fieldOf(*r, static_cast<GridColumn>(index.column())));
}

QVariant AnalysisGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
    switch (section) {
      case 0: return QStringLiteral("일련 번호");
      case 1: return QStringLiteral("원문 어절");
      case 2: return QStringLiteral("분석 결과");
      default: break;
    }
  }
  if (orientation == Qt::Vertical && role == Qt::DisplayRole) return section + 1;
  return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace selvanor
