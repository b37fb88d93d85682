#include "ui/corpus_tree_model.h"

#include <QApplication>
#include <QHeaderView>
#include <QTreeView>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "ui_base/qt_text.h"

namespace selvanor {
namespace {

// Group rows carry internal id 0; document rows carry their group's index + 1.
constexpr quintptr kGroupId = 0;

// A page with a blue mark on the left when the reference file exists and a green mark on
// the right when the statistics file does.
QIcon paintStatusIcon(bool reference, bool statistics) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QColor(90, 90, 90));
  p.setBrush(Qt::white);
  p.drawRect(2, 0, 11, 15);
  p.setPen(Qt::NoPen);
  if (reference) p.fillRect(4, 8, 3, 6, QColor(30, 90, 200));
  if (statistics) p.fillRect(9, 8, 3, 6, QColor(30, 160, 60));
  return QIcon(pixmap);
}

QString statusText(corpus::DocumentStatus s) {
  switch (s) {
    case corpus::DocumentStatus::Reference:
      return QStringLiteral("참조 파일 있음, 통계 파일 없음");
    case corpus::DocumentStatus::Statistics:
      return QStringLiteral("참조 파일 없음, 통계 파일 있음");
    case corpus::DocumentStatus::ReferenceAndStatistics:
      return QStringLiteral("참조 파일 있음, 통계 파일 있음");
    case corpus::DocumentStatus::None:
      break;
  }
  return QStringLiteral("참조 파일 없음, 통계 파일 없음");
}

}  // namespace

CorpusTreeModel::CorpusTreeModel(corpus::DocumentList& list, QObject* parent)
    : QAbstractItemModel(parent), list_(list) {}

QIcon CorpusTreeModel::groupIcon() {
  static const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
  return icon;
}

QIcon CorpusTreeModel::statusIcon(corpus::DocumentStatus status) {
  static const QIcon icons[] = {paintStatusIcon(false, false), paintStatusIcon(true, false),
                                paintStatusIcon(false, true), paintStatusIcon(true, true)};
  const int image = static_cast<int>(status);
  return icons[image >= 1 && image <= 4 ? image - 1 : 0];
}

QModelIndex CorpusTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column != 0) return {};
  if (!parent.isValid()) {
    if (static_cast<std::size_t>(row) >= list_.groups().size()) return {};
    return createIndex(row, column, kGroupId);
  }
  if (parent.internalId() != kGroupId || parent.column() != 0) return {};
  const std::size_t g = static_cast<std::size_t>(parent.row());
  if (g >= list_.groups().size() ||
      static_cast<std::size_t>(row) >= list_.group(g).documents.size()) {
    return {};
  }
  return createIndex(row, column, static_cast<quintptr>(g + 1));
}

QModelIndex CorpusTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kGroupId) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kGroupId);
}

int CorpusTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(list_.groups().size());
  if (parent.column() != 0 || parent.internalId() != kGroupId) return 0;
  return static_cast<int>(list_.group(static_cast<std::size_t>(parent.row())).documents.size());
}

int CorpusTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant CorpusTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const corpus::NodeRef node = nodeAt(index);
  if (node.isGroup()) {
    switch (role) {
      case Qt::DisplayRole:
        return fromCp949(list_.group(node.group).name);
      case Qt::DecorationRole:
        return groupIcon();
      case kStatusRole:
        return 0;
      default:
        return {};
    }
  }
  const corpus::ListDocument& d = list_.document(node);
  switch (role) {
    case Qt::DisplayRole:
      // A path the list file held in another encoding shows as its bytes allow.
      return d.undecodedBytes ? fromCp949(*d.undecodedBytes) : fromNativePath(d.path);
    case Qt::DecorationRole:
      return statusIcon(d.status);
    case Qt::ToolTipRole:
      return statusText(d.status);
    case kStatusRole:
      return static_cast<int>(d.status);
    default:
      return {};
  }
}

QModelIndex CorpusTreeModel::indexOf(const corpus::NodeRef& node) const {
  const QModelIndex group = index(static_cast<int>(node.group), 0);
  if (node.isGroup()) return group;
  return index(static_cast<int>(*node.document), 0, group);
}

corpus::NodeRef CorpusTreeModel::nodeAt(const QModelIndex& index) {
  if (index.internalId() == kGroupId) return {static_cast<std::size_t>(index.row()), std::nullopt};
  return {static_cast<std::size_t>(index.internalId() - 1), static_cast<std::size_t>(index.row())};
}

void CorpusTreeModel::update(const std::function<void()>& change) {
  beginResetModel();
  change();
  endResetModel();
}

void CorpusTreeModel::statusesChanged() {
  for (int g = 0; g < rowCount(); ++g) {
    const QModelIndex group = index(g, 0);
    const int n = rowCount(group);
    if (n == 0) continue;
    emit dataChanged(index(0, 0, group), index(n - 1, 0, group),
                     {Qt::DecorationRole, Qt::ToolTipRole, kStatusRole});
  }
}

QTreeView* makeCorpusPicker(CorpusTreeModel* model, const QString& objectName, QWidget* parent) {
  auto* tree = new QTreeView(parent);
  tree->setObjectName(objectName);
  tree->setModel(model);
  tree->setHeaderHidden(true);
  tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree->header()->setStretchLastSection(false);
  tree->setMinimumSize(720, 360);  // whole document paths on a 1024 x 700 screen
  tree->expandAll();
  return tree;
}

}  // namespace selvanor
