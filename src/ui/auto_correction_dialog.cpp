#include "ui/auto_correction_dialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "lexicon/auto_correction.h"
#include "facade/dbwrap.h"
#include "ui_base/operation_progress.h"

namespace selvanor {

AutoCorrectionDialog::AutoCorrectionDialog(UserInteraction& ui, std::string document,
                                           QWidget* parent)
    : QDialog(parent), ui_(ui), documentPath_(std::move(document)) {
  setWindowTitle(QString::fromUtf8(correction::msg::kDialogTitle));
  document_ = new QLineEdit(fromNativePath(documentPath_), this);
  document_->setReadOnly(true);
  document_->setMinimumWidth(420);
  list_ = new QLineEdit(this);
  auto* chooseButton = new QPushButton(QStringLiteral("자동 수정 목록"), this);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  auto* correctButton = new QPushButton(QStringLiteral("자동 수정"), this);
  auto* closeButton = new QPushButton(QStringLiteral("닫 기"), this);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("분석 문헌 파일"), this), 0, 0);
  grid->addWidget(document_, 0, 1);
  grid->addWidget(chooseButton, 1, 0);
  grid->addWidget(list_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("진행 상황"), this), 2, 0);
  grid->addWidget(progress_, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(correctButton);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(chooseButton, &QPushButton::clicked, this, &AutoCorrectionDialog::chooseList);
  connect(correctButton, &QPushButton::clicked, this, &AutoCorrectionDialog::correct);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void AutoCorrectionDialog::chooseList() {
  // Lists usually sit beside the documents they correct.
  const QString folder = QFileInfo(fromNativePath(documentPath_)).absolutePath();
  const QString path = ui_.chooseOpenFile(QStringLiteral("자동수정목록  (*.txt)|*.txt||"),
                                          folder + QStringLiteral("/sujeong.txt"));
  if (!path.isEmpty()) list_->setText(path);
}

void AutoCorrectionDialog::correct() {
  const QString list = list_->text();
  if (list.isEmpty()) {
    ui_.message(QString::fromUtf8(correction::msg::kChooseList));
    return;
  }
  DBWrap db;
  DBWrap::SujungOutcome outcome;
  ResultCode rc = result::kOk;
  {
    // The corrected copy is renamed over the document at the end: stopping keeps it as it was.
    OperationProgress progress(this, windowTitle(), true, progress_);
    rc = db.autoSujung(documentPath_, nativePath(list), &outcome, progress.callback());
    if (rc == result::kOk) progress.finish();
  }
  if (rc != result::kOk) progress_->setValue(0);
  if (rc == result::kCancelled) {
    ui_.message(QString::fromUtf8(kCancelledMessage));
    return;
  }
  if (rc == result::kOk && outcome.changedRecords > 0) emit documentRewritten();
  QString text = QString::fromUtf8(correction::outcomeMessage(rc));
  // The message alone would not say which line of the list to mend.
  if (rc == result::kListFormatError) {
    text += QLatin1Char('\n') + QString::fromStdString(correction::formatErrorDetail(outcome));
  }
  ui_.message(text);
}

}  // namespace selvanor
