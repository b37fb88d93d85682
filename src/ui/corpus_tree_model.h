// The corpus manager's tree as a two-level item model over a corpus::DocumentList: groups
// at the top, their documents below, each document with its status icon. The list holds
// all state; this model only translates it for a QTreeView.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>

class QTreeView;

#include <functional>

#include "store/corpus/document_list.h"

namespace selvanor {

class CorpusTreeModel : public QAbstractItemModel {
  Q_OBJECT
 public:
  // The document's status image number (1-4); 0 for a group.
  static constexpr int kStatusRole = Qt::UserRole + 1;

  explicit CorpusTreeModel(corpus::DocumentList& list, QObject* parent = nullptr);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  [[nodiscard]] QModelIndex indexOf(const corpus::NodeRef& node) const;
  [[nodiscard]] static corpus::NodeRef nodeAt(const QModelIndex& index);

  // Runs `change`, which adds, removes or reorders nodes of the list, as a model reset.
  void update(const std::function<void()>& change);
  // Only documents' statuses changed (after a build job).
  void statusesChanged();

  [[nodiscard]] static QIcon groupIcon();
  [[nodiscard]] static QIcon statusIcon(corpus::DocumentStatus status);

 private:
  corpus::DocumentList& list_;
};

// A tree view over `model` for picking groups and documents: several nodes at once,
// nothing editable, every group expanded.
[[nodiscard]] QTreeView* makeCorpusPicker(CorpusTreeModel* model, const QString& objectName,
                                          QWidget* parent);

}  // namespace selvanor
