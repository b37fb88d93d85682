#include "ui/review_list_model.h"

#include <QFileInfo>

#include "ui_base/qt_text.h"

namespace selvanor {
namespace {

// Group rows carry internal id 0; occurrence rows carry their group's index + 1.
constexpr quintptr kGroupId = 0;

QVariant groupData(const review::ReviewGroup& g, int column, int role) {
  if (role != Qt::DisplayRole) return {};
  if (column == ReviewListModel::kWordOrSerial) return fromCp949(g.word);
  if (column == ReviewListModel::kAnalysis) {
    return QStringLiteral("%1곳").arg(static_cast<qulonglong>(g.occurrences.size()));
  }
  return {};
}

QVariant occurrenceData(const review::Occurrence& o, int column, int role) {
  if (role == Qt::ToolTipRole && column == ReviewListModel::kDocument) {
    return fromNativePath(o.document);
  }
  if (role != Qt::DisplayRole) return {};
  switch (column) {
    case ReviewListModel::kWordOrSerial: return fromCp949(o.record.serial);
    case ReviewListModel::kAnalysis: return fromCp949(o.record.analysis);
    case ReviewListModel::kDocument: return QFileInfo(fromNativePath(o.document)).fileName();
    case ReviewListModel::kRecordNumber:
      return o.recordNumber > 0 ? QVariant(static_cast<qulonglong>(o.recordNumber)) : QVariant();
    default: return {};
  }
}

}  // namespace

ReviewListModel::ReviewListModel(QObject* parent) : QAbstractItemModel(parent) {}

void ReviewListModel::setGroups(std::vector<review::ReviewGroup> groups) {
  beginResetModel();
  groups_ = std::move(groups);
  endResetModel();
}

int ReviewListModel::groupRow(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return -1;
  return index.internalId() == kGroupId ? index.row() : static_cast<int>(index.internalId() - 1);
}

const review::Occurrence* ReviewListModel::occurrenceAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this || index.internalId() == kGroupId) return nullptr;
  const auto& occurrences = groups_[index.internalId() - 1].occurrences;
  return &occurrences[static_cast<std::size_t>(index.row())];
}

QModelIndex ReviewListModel::groupIndex(int group) const { return index(group, 0); }

void ReviewListModel::rewriteAnalyses(int group,
                                      const std::function<bool(const review::Occurrence&)>& changed,
                                      const std::string& analysis) {
  if (group < 0 || static_cast<std::size_t>(group) >= groups_.size()) return;
  auto& occurrences = groups_[static_cast<std::size_t>(group)].occurrences;
  for (review::Occurrence& o : occurrences) {
    if (changed(o)) o.record.analysis = analysis;
  }
  if (occurrences.empty()) return;
  const QModelIndex parentIndex = groupIndex(group);
  emit dataChanged(index(0, kAnalysis, parentIndex),
                   index(static_cast<int>(occurrences.size()) - 1, kAnalysis, parentIndex),
                   {Qt::DisplayRole});
}

QModelIndex ReviewListModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= kColumns) return {};
  if (!parent.isValid()) {
    if (static_cast<std::size_t>(row) >= groups_.size()) return {};
    return createIndex(row, column, kGroupId);
  }
  if (parent.internalId() != kGroupId || parent.column() != 0) return {};
  const auto g = static_cast<std::size_t>(parent.row());
  if (g >= groups_.size() || static_cast<std::size_t>(row) >= groups_[g].occurrences.size()) return {};
  return createIndex(row, column, static_cast<quintptr>(g + 1));
}

QModelIndex ReviewListModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kGroupId) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kGroupId);
}

int ReviewListModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(groups_.size());
  if (parent.column() != 0 || parent.internalId() != kGroupId) return 0;
  return static_cast<int>(groups_[static_cast<std::size_t>(parent.row())].occurrences.size());
}

int ReviewListModel::columnCount(const QModelIndex&) const { return kColumns; }

QVariant ReviewListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (const review::Occurrence* o = occurrenceAt(index)) return occurrenceData(*o, index.column(), role);
  return groupData(groups_[static_cast<std::size_t>(index.row())], index.column(), role);
}

QVariant ReviewListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractItemModel::headerData(section, orientation, role);
  }
  switch (section) {
    case kWordOrSerial: return QStringLiteral("원문 어절 / 일련 번호");
    case kAnalysis: return QStringLiteral("분석 결과");
    case kDocument: return QStringLiteral("문헌");
    case kRecordNumber: return QStringLiteral("기록 번호");
    default: return {};
  }
}

}  // namespace selvanor
