#include "ui/compare_reference_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "facade/dbwrap.h"
#include "lexicon/analysis_review.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {
namespace {

const QString kReferenceFilter = QStringLiteral("참조 파일 Files (*.idx)|*.idx||");
const QString kReportFilter = QStringLiteral("재검토 결과 파일 Files (*.txt)|*.txt||");

}  // namespace

CompareReferenceDialog::CompareReferenceDialog(UserInteraction& ui, std::size_t maxGroups,
                                               QWidget* parent)
    : QDialog(parent), ui_(ui), groups_(maxGroups) {
  setWindowTitle(QStringLiteral("참조 파일과 비교"));
  reference_ = new QLineEdit(this);
  compared_ = new QLineEdit(this);
  report_ = new QLineEdit(this);
  auto* referenceButton = new QPushButton(QStringLiteral("참조 파일"), this);
  auto* comparedButton = new QPushButton(QStringLiteral("비교 참조 파일"), this);
  auto* reportButton = new QPushButton(QStringLiteral("결과 저장 파일"), this);
  auto* reviewButton = new QPushButton(QStringLiteral("재검토"), this);
  auto* cancelButton = new QPushButton(QStringLiteral("취 소"), this);
  reviewButton->setDefault(true);

  auto* rows = new QGridLayout;
  int row = 0;
  for (auto [button, field] : {std::pair{referenceButton, reference_}, std::pair{comparedButton, compared_},
                               std::pair{reportButton, report_}}) {
    field->setMinimumWidth(420);
    rows->addWidget(button, row, 0);
    rows->addWidget(field, row++, 1);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(reviewButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(rows);
  layout->addLayout(buttons);

  connect(referenceButton, &QPushButton::clicked, this, &CompareReferenceDialog::chooseReference);
  connect(comparedButton, &QPushButton::clicked, this, &CompareReferenceDialog::chooseCompared);
  connect(reportButton, &QPushButton::clicked, this, &CompareReferenceDialog::chooseReport);
  connect(reviewButton, &QPushButton::clicked, this, &CompareReferenceDialog::review);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CompareReferenceDialog::chooseReference() {
  reference_->setText(ui_.chooseOpenFile(kReferenceFilter, QStringLiteral("*.idx")));
}

void CompareReferenceDialog::chooseCompared() {
  compared_->setText(ui_.chooseOpenFile(kReferenceFilter, QStringLiteral("*.idx")));
}

void CompareReferenceDialog::chooseReport() {
  report_->setText(ui_.chooseSaveFile(kReportFilter, QStringLiteral("*.txt")));
}

QString CompareReferenceDialog::reportPath() const { return report_->text(); }

void CompareReferenceDialog::review() {
  const std::string reference = nativePath(reference_->text());
  const std::string compared = nativePath(compared_->text());
  const std::string report = nativePath(report_->text());
  if (auto refusal = review::checkCompareFields(reference, compared, report)) {
    ui_.message(QString::fromStdString(*refusal));
    return;
  }
  groups_.clear();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  DBWrap db;
  const review::ReviewOutcome outcome = db.reviewWonmunDB(report, reference, compared, groups_.sink());
  QApplication::restoreOverrideCursor();
  ui_.message(QString::fromStdString(outcome.message));
  if (!outcome) {
    groups_.clear();  // no report was written: nothing to list
    return;
  }
  accept();
}

}  // namespace selvanor
