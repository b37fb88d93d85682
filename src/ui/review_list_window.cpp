#include "ui/review_list_window.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/engine/document_cursor.h"
#include "ui/review_list_model.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

ReviewListWindow::ReviewListWindow(UserInteraction& ui, ReviewGridHooks hooks, QWidget* parent)
    : QDialog(parent), ui_(ui), hooks_(std::move(hooks)) {
  setWindowTitle(QStringLiteral("분석 재검토 목록"));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setModal(false);
  model_ = new ReviewListModel(this);
  tree_ = new QTreeView(this);
  tree_->setObjectName(QStringLiteral("reviewList"));
  tree_->setModel(model_);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setUniformRowHeights(true);  // a hundred thousand groups stay quick to scroll
  tree_->setExpandsOnDoubleClick(true);
  tree_->setColumnWidth(ReviewListModel::kWordOrSerial, 200);
  tree_->setColumnWidth(ReviewListModel::kAnalysis, 420);
  tree_->setColumnWidth(ReviewListModel::kDocument, 160);
  summary_ = new QLabel(this);
  apply_ = new QPushButton(QStringLiteral("모두 이 분석으로"), this);
  apply_->setToolTip(QStringLiteral("선택한 어절의 분석을 이 어절의 모든 목록에 적용합니다."));
  auto* close = new QPushButton(QStringLiteral("닫 기"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(summary_, 1);
  buttons->addWidget(apply_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(buttons);
  resize(980, 600);

  connect(tree_, &QTreeView::doubleClicked, this, &ReviewListWindow::activate);
  connect(apply_, &QPushButton::clicked, this, &ReviewListWindow::applyToGroup);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &ReviewListWindow::updateButtons);
  updateButtons();
}

ReviewListWindow::~ReviewListWindow() = default;

void ReviewListWindow::setResults(const QString& reportPath, std::vector<review::ReviewGroup> groups,
                                  std::size_t total) {
  const std::size_t shown = groups.size();
  model_->setGroups(std::move(groups));
  tree_->expandAll();
  setWindowTitle(QStringLiteral("분석 재검토 목록 - ") + reportPath);
  QString text = total == 0 ? QStringLiteral("다르게 분석된 어절이 없습니다.")
                            : QStringLiteral("다르게 분석된 어절 %1개").arg(static_cast<qulonglong>(total));
  if (shown < total) {
    text += QStringLiteral(" (처음 %1개만 보입니다. 나머지는 결과 파일에 있습니다.)")
                .arg(static_cast<qulonglong>(shown));
  }
  summary_->setText(text);
  updateButtons();
}

void ReviewListWindow::updateButtons() {
  apply_->setEnabled(model_->occurrenceAt(tree_->currentIndex()) != nullptr);
}

void ReviewListWindow::activate(const QModelIndex& index) {
  const review::Occurrence* o = model_->occurrenceAt(index);
  if (o && hooks_.showOccurrence) hooks_.showOccurrence(*o);
}

review::ApplyOutcome ReviewListWindow::applyInDocument(const review::DocumentSerials& document,
                                                       const std::string& analysis,
                                                       bool& gridTouched) {
  DBWrap db;
  if (DocumentCursor* grid = hooks_.gridCursor ? hooks_.gridCursor(document.document) : nullptr) {
    gridTouched = true;
    return db.applyBunsukAnalysis(*grid, document.serials, analysis);
  }
  DocumentCursor own;
  (void)own.openForChange(document.document);  // not open: refused below
  return db.applyBunsukAnalysis(own, document.serials, analysis);
}

void ReviewListWindow::applyToGroup() {
  const QModelIndex current = tree_->currentIndex();
  const review::Occurrence* chosen = model_->occurrenceAt(current);
  if (!chosen) return;
  const int group = model_->groupRow(current);
  const std::string analysis = chosen->record.analysis;  // the list changes below
  const std::vector<review::DocumentSerials> documents =
      review::serialsByDocument(model_->groups()[static_cast<std::size_t>(group)].occurrences);
  if (!ui_.askYesNo(QString::fromStdString(review::applyQuestion(review::recordCount(documents), analysis)))) {
    return;
  }
  std::vector<review::DocumentApplyOutcome> outcomes;
  bool gridTouched = false;
  for (const review::DocumentSerials& d : documents) {
    outcomes.push_back({d.document, applyInDocument(d, analysis, gridTouched)});
  }
  if (gridTouched && hooks_.gridChanged) hooks_.gridChanged();
  model_->rewriteAnalyses(group, [&](const review::Occurrence& o) {
    for (const review::DocumentApplyOutcome& d : outcomes) {
      if (!d.outcome || !(o.document == d.document || sameFile(o.document, d.document))) continue;
      const auto& missing = d.outcome.missing;
      return std::find(missing.begin(), missing.end(), o.record.serial) == missing.end();
    }
    return false;
  }, analysis);
  ui_.message(QString::fromStdString(review::applyOutcomeMessage(outcomes)));
}

}  // namespace selvanor
