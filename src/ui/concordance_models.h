// The concordance window's tables: KWIC lines, collocates and the distribution over the
// documents. Each model holds the core's results and converts only the cells a view asks
// for, so 10^5 lines scroll as fast as ten.
#pragma once

#include <QAbstractTableModel>

#include <string>
#include <vector>

#include "analysis/collocations.h"
#include "analysis/concordance.h"

namespace selvanor {

class ConcordanceModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kDocument, kSerial, kLeft, kHit, kRight, kAnalysis, kColumns };
  // The sort key each column sorts by (the serial and the document: document order).
  static analysis::SortKey sortKeyOf(int column);

  using QAbstractTableModel::QAbstractTableModel;
  void setResult(analysis::ConcordanceResult result);
  // Stable; the documents keep their order of the search.
  void sortBy(analysis::SortKey key);
  [[nodiscard]] const analysis::ConcordanceResult& result() const { return result_; }
  [[nodiscard]] const analysis::Hit* hitAt(int row) const;
  [[nodiscard]] const std::string& documentOf(const analysis::Hit& hit) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  analysis::ConcordanceResult result_;
};

class CollocationModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kCollocate, kObserved, kFrequency, kExpected, kMI, kT, kLL, kLogDice, kColumns };
  using QAbstractTableModel::QAbstractTableModel;
  void setResult(analysis::CollocationResult result);
  [[nodiscard]] const analysis::CollocationResult& result() const { return result_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Any column: numbers best first (descending), the collocate in CP949 order; a second
  // sort on the same column turns it round.
  void sort(int column, Qt::SortOrder order) override;

 private:
  analysis::CollocationResult result_;
};

// "분포": per document the hits, hits per million words and the document's words.
class DistributionModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kDocument, kHits, kPerMillion, kWords, kColumns };
  using QAbstractTableModel::QAbstractTableModel;
  void setCounts(std::vector<analysis::DocumentCount> counts);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<analysis::DocumentCount> counts_;
};

}  // namespace selvanor
