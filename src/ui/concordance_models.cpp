#include "ui/concordance_models.h"

#include <algorithm>

#include "ui_base/qt_text.h"

namespace selvanor {
namespace {

QString fixed(double value) { return QString::number(value, 'f', 4); }

}  // namespace

// ---- KWIC lines -----------------------------------------------------------------------

analysis::SortKey ConcordanceModel::sortKeyOf(int column) {
  switch (column) {
    case kLeft: return analysis::SortKey::Left1;
    case kHit:
    case kAnalysis: return analysis::SortKey::Hit;
    case kRight: return analysis::SortKey::Right1;
    default: return analysis::SortKey::Document;
  }
}

void ConcordanceModel::setResult(analysis::ConcordanceResult result) {
  beginResetModel();
  result_ = std::move(result);
  endResetModel();
}

void ConcordanceModel::sortBy(analysis::SortKey key) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  analysis::sortHits(result_.hits, key);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

const analysis::Hit* ConcordanceModel::hitAt(int row) const {
  return row >= 0 && static_cast<std::size_t>(row) < result_.hits.size() ? &result_.hits[static_cast<std::size_t>(row)]
                                                                          : nullptr;
}

const std::string& ConcordanceModel::documentOf(const analysis::Hit& hit) const {
  return result_.documents[hit.document].path;
}

int ConcordanceModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(result_.hits.size());
}

int ConcordanceModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant ConcordanceModel::data(const QModelIndex& index, int role) const {
  const analysis::Hit* hit = index.isValid() ? hitAt(index.row()) : nullptr;
  if (!hit) return {};
  if (role == Qt::TextAlignmentRole) {
    // Aligned on the hit: the left context flush against it.
    if (index.column() == kLeft) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (index.column() == kHit) return int(Qt::AlignHCenter | Qt::AlignVCenter);
    return int(Qt::AlignLeft | Qt::AlignVCenter);
  }
  if (role == Qt::ToolTipRole && index.column() == kHit) return fromCp949(hit->analysisText());
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case kDocument: return fromNativePath(documentOf(*hit));
    case kSerial: return fromCp949(hit->serial);
    case kLeft: return fromCp949(hit->leftText());
    case kHit: return fromCp949(hit->hitText());
    case kRight: return fromCp949(hit->rightText());
    case kAnalysis: return fromCp949(hit->analysisText());
    default: return {};
  }
}

QVariant ConcordanceModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kNames[] = {"문헌", "일련번호", "왼쪽 문맥", "용례", "오른쪽 문맥", "분석"};
  return section >= 0 && section < kColumns ? QString::fromUtf8(kNames[section]) : QVariant();
}

void ConcordanceModel::sort(int column, Qt::SortOrder) { sortBy(sortKeyOf(column)); }

// ---- collocates -----------------------------------------------------------------------

void CollocationModel::setResult(analysis::CollocationResult result) {
  beginResetModel();
  result_ = std::move(result);
  endResetModel();
}

int CollocationModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(result_.collocates.size());
}

int CollocationModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant CollocationModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const analysis::Collocate& c = result_.collocates[static_cast<std::size_t>(index.row())];
  if (role == Qt::TextAlignmentRole) {
    return int((index.column() == kCollocate ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole) return {};
  const analysis::Measures& m = c.measures;
  switch (index.column()) {
    case kCollocate: return fromCp949(c.text);
    case kObserved: return QString::number(c.observed);
    case kFrequency: return QString::number(c.frequency);
    case kExpected: return fixed(m.expected);
    case kMI: return fixed(m.mi);
    case kT: return fixed(m.t);
    case kLL: return fixed(m.logLikelihood);
    case kLogDice: return fixed(m.logDice);
    default: return {};
  }
}

QVariant CollocationModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kNames[] = {"연어", "O", "f", "E", "MI", "t", "LL", "logDice"};
  return section >= 0 && section < kColumns ? QString::fromUtf8(kNames[section]) : QVariant();
}

void CollocationModel::sort(int column, Qt::SortOrder order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  auto& rows = result_.collocates;
  if (column == kCollocate) {
    std::stable_sort(rows.begin(), rows.end(), [](const analysis::Collocate& a, const analysis::Collocate& b) {
      return analysis::compareCp949(a.text, b.text) < 0;
    });
  } else if (column == kFrequency || column == kExpected) {
    // Not measures of association: sorted on their own value, ties in collocate order.
    auto value = [column](const analysis::Collocate& c) {
      return column == kFrequency ? static_cast<double>(c.frequency) : c.measures.expected;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const analysis::Collocate& a, const analysis::Collocate& b) {
      return value(a) != value(b) ? value(a) > value(b) : analysis::compareCp949(a.text, b.text) < 0;
    });
  } else {
    static const analysis::CollocateSort kKeys[] = {
        analysis::CollocateSort::Observed, analysis::CollocateSort::Observed, analysis::CollocateSort::Observed,
        analysis::CollocateSort::Observed, analysis::CollocateSort::MI,       analysis::CollocateSort::TScore,
        analysis::CollocateSort::LogLikelihood, analysis::CollocateSort::LogDice};
    if (column >= 0 && column < kColumns) analysis::sortCollocates(rows, kKeys[column]);
  }
  // The header's arrow: the first click gives the natural order, the other its reverse.
  const bool natural = column == kCollocate ? order == Qt::AscendingOrder : order == Qt::DescendingOrder;
  if (!natural) std::reverse(rows.begin(), rows.end());
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// ---- distribution ---------------------------------------------------------------------

void DistributionModel::setCounts(std::vector<analysis::DocumentCount> counts) {
  beginResetModel();
  counts_ = std::move(counts);
  endResetModel();
}

int DistributionModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(counts_.size());
}

int DistributionModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant DistributionModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const analysis::DocumentCount& d = counts_[static_cast<std::size_t>(index.row())];
  if (role == Qt::TextAlignmentRole) {
    return int((index.column() == kDocument ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
  }
  if (role == Qt::ToolTipRole && !d.failure.empty()) return QString::fromStdString(d.failure);
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case kDocument: return fromNativePath(d.path);
    case kHits: return QString::number(d.hits);
    case kPerMillion: return fixed(d.perMillion());
    case kWords: return QString::number(d.tokens);
    default: return {};
  }
}

QVariant DistributionModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const char* const kNames[] = {"문헌", "적중", "백만 어절당", "어절 수"};
  return section >= 0 && section < kColumns ? QString::fromUtf8(kNames[section]) : QVariant();
}

}  // namespace selvanor
