// The review list window's item model: one top-level row per reported word, its listed
// occurrences below it. The groups are a plain collection (review::ReviewGroup, as the
// review hands them over); this model only translates it for a QTreeView.
#pragma once

#include <QAbstractItemModel>

#include <functional>
#include <string>
#include <vector>

#include "lexicon/review_report.h"

namespace selvanor {

class ReviewListModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  // Group rows: word and the number of listed occurrences. Occurrence rows: serial,
  // analysis, document, record number.
  enum Column { kWordOrSerial = 0, kAnalysis, kDocument, kRecordNumber, kColumns };

  explicit ReviewListModel(QObject* parent = nullptr);

  void setGroups(std::vector<review::ReviewGroup> groups);
  [[nodiscard]] const std::vector<review::ReviewGroup>& groups() const { return groups_; }

  // The group a row belongs to (its own, for a group row); -1 for an invalid index.
  [[nodiscard]] int groupRow(const QModelIndex& index) const;
  // The occurrence of an occurrence row; nullptr for a group row or an invalid index.
  [[nodiscard]] const review::Occurrence* occurrenceAt(const QModelIndex& index) const;
  [[nodiscard]] QModelIndex groupIndex(int group) const;

  // After a change of the documents: every occurrence of `group` for which `changed` holds
  // now shows `analysis` (CP949).
  void rewriteAnalyses(int group, const std::function<bool(const review::Occurrence&)>& changed,
                       const std::string& analysis);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<review::ReviewGroup> groups_;
};

}  // namespace selvanor
