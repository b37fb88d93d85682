#include "app/reference_page.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QTableWidget>

#include <algorithm>
#include <vector>

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "facade/dbwrap.h"
#include "store/reference/reference_file.h"

namespace selvanor {

CRefPage::CRefPage(UserInteraction& ui, QWidget* parent) : QWidget(parent), ui_(ui) {
  searchButton_ = new QPushButton(QStringLiteral("검색"), this);
  field_ = new QLineEdit(this);
  list_ = new QTableWidget(0, 3, this);
  list_->setObjectName(QStringLiteral("referenceList"));
  list_->setHorizontalHeaderLabels(
      {QStringLiteral("일련번호"), QStringLiteral("원문어절"), QStringLiteral("분석결과")});
  list_->horizontalHeader()->setStretchLastSection(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setShowGrid(true);
  list_->setWordWrap(false);
  list_->verticalHeader()->setVisible(false);
  list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  auto* searchRow = new QHBoxLayout;
  searchRow->addWidget(searchButton_);
  searchRow->addWidget(field_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(searchRow);
  layout->addWidget(list_, 1);
  connect(searchButton_, &QPushButton::clicked, this, &CRefPage::search);
  connect(field_, &QLineEdit::returnPressed, this, &CRefPage::search);
}

void CRefPage::setPath(const QString& path) {
  path_ = path;
  if (path_.isEmpty()) list_->setRowCount(0);
  else if (lastWord_) lookUp(/*quiet=*/true);
}

void CRefPage::search() {
  if (path_.isEmpty()) {
    ui_.warning(QString::fromUtf8(reference::msg::kOpenDocumentFirst));
    return;
  }
  auto word = toCp949(field_->text(), ui_);
  if (!word) return;
  lastWord_ = std::move(word);
  lookUp(/*quiet=*/false);
}

void CRefPage::lookUp(bool quiet) {
  DBWrap db;
  std::vector<AnalysisRecord> items;
  const ResultCode rc = db.getWonmun2(nativePath(path_), *lastWord_, items);
  list_->setRowCount(0);
  list_->setRowCount(static_cast<int>(items.size()));
  for (int row = 0; row < static_cast<int>(items.size()); ++row) {
    const AnalysisRecord& r = items[static_cast<std::size_t>(row)];
    list_->setItem(row, 0, new QTableWidgetItem(fromCp949(r.serial)));
    list_->setItem(row, 1, new QTableWidgetItem(fromCp949(r.word)));
    list_->setItem(row, 2, new QTableWidgetItem(fromCp949(r.analysis)));
  }
  // Serials and words whole; the analysis takes what is left of the page.
  list_->resizeColumnToContents(0);
  list_->resizeColumnToContents(1);
  if (quiet) return;
  if (rc == result::kOpenError) {
    ui_.warning(QString::fromUtf8(reference::msg::kLookupUnreadable) + QStringLiteral(" [") + path_ +
                QStringLiteral("]"));
  } else if (rc == result::kNothingToRead) {
    ui_.message(QString::fromUtf8(reference::msg::kLookupEmpty));
  }
}

}  // namespace selvanor
