// The analysis grid's table model: translates grid indexes into row-cache calls and
// holds nothing itself. Three columns: serial, word, analysis.
#pragma once

#include <QAbstractTableModel>

namespace selvanor {

class RowCache;

class AnalysisGridModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit AnalysisGridModel(RowCache& cache, QObject* parent = nullptr);

  // While not loaded the grid shows no rows.
  void setLoaded(bool loaded);
  bool isLoaded() const { return loaded_; }
  // The document changed under the cache: row count and every cell are read again.
  void refresh();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  RowCache& cache_;
  bool loaded_ = false;
};

}  // namespace selvanor
