// What the homonym page and the unregistered-word page share: the table of the entries a
// search found, kept as stored (CP949), and the page layout ("검색" and the search field,
// then "수정", "추가", "삭제", then the list).
#pragma once

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <array>
#include <limits>
#include <vector>

namespace selvanor {

// `cell(entry, column)` gives what a cell shows.
template <typename Entry, int Columns>
class DictionaryEntryModel final : public QAbstractTableModel {
 public:
  using Cell = QString (*)(const Entry& entry, int column);
  DictionaryEntryModel(std::array<const char*, Columns> headers, Cell cell, QObject* parent)
      : QAbstractTableModel(parent), headers_(headers), cell_(cell) {}

  void setEntries(std::vector<Entry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
  }
  [[nodiscard]] const Entry& entry(int row) const { return entries_.at(static_cast<std::size_t>(row)); }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : Columns;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= Columns ||
        role != Qt::DisplayRole) {
      return {};
    }
    return cell_(entry(index.row()), index.column());
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= Columns) {
      return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromUtf8(headers_[static_cast<std::size_t>(section)]);
  }

 private:
  std::array<const char*, Columns> headers_;
  Cell cell_;
  std::vector<Entry> entries_;
};

// The widgets of a dictionary page, laid out on `page`.
struct DictionaryPageParts {
  QLineEdit* field;
  QTableView* list;
  QPushButton* search;
  QPushButton* modify;
  QPushButton* add;
  QPushButton* remove;
};

inline DictionaryPageParts layOutDictionaryPage(QWidget* page, QAbstractItemModel* model) {
  DictionaryPageParts p{new QLineEdit(page),
                        new QTableView(page),
                        new QPushButton(QStringLiteral("검색"), page),
                        new QPushButton(QStringLiteral("수정"), page),
                        new QPushButton(QStringLiteral("추가"), page),
                        new QPushButton(QStringLiteral("삭제"), page)};
  p.field->setMaxLength(std::numeric_limits<int>::max());  // searched for whole, never cut
  p.list->setModel(model);
  p.list->setSelectionBehavior(QAbstractItemView::SelectRows);
  p.list->setSelectionMode(QAbstractItemView::SingleSelection);
  p.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  p.list->setShowGrid(true);
  p.list->verticalHeader()->setVisible(false);
  p.list->setWordWrap(false);
  // Every column but the last as wide as what it lists; the last one fills the page.
  p.list->horizontalHeader()->setStretchLastSection(true);
  QObject::connect(model, &QAbstractItemModel::modelReset, p.list, [list = p.list] {
    for (int c = 0; c + 1 < list->model()->columnCount(); ++c) list->resizeColumnToContents(c);
  });
  auto* searchRow = new QHBoxLayout;
  searchRow->addWidget(p.search);
  searchRow->addWidget(p.field, 1);
  auto* editRow = new QHBoxLayout;
  editRow->addWidget(p.modify);
  editRow->addWidget(p.add);
  editRow->addWidget(p.remove);
  editRow->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(searchRow);
  layout->addLayout(editRow);
  layout->addWidget(p.list, 1);
  return p;
}

// The selected row of a page's list, -1 when none.
inline int selectedListRow(const QTableView& list) {
  const QModelIndexList rows = list.selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

}  // namespace selvanor
