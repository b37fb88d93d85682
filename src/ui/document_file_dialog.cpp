#include "ui/document_file_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "ui_base/operation_progress.h"

namespace selvanor {

DocumentFileDialog::DocumentFileDialog(UserInteraction& ui, const QString& title,
                                       const QString& makeCaption, std::string document,
                                       std::string target, QWidget* parent)
    : QDialog(parent), ui_(ui), document_(std::move(document)), target_(std::move(target)) {
  setWindowTitle(title);
  documentField_ = new QLineEdit(fromNativePath(document_), this);
  targetField_ = new QLineEdit(fromNativePath(target_), this);
  documentField_->setReadOnly(true);
  targetField_->setReadOnly(true);
  documentField_->setMinimumWidth(420);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  auto* makeButton = new QPushButton(makeCaption, this);
  auto* closeButton = new QPushButton(QStringLiteral("닫 기"), this);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("분석 문헌 파일"), this), 0, 0);
  grid->addWidget(documentField_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("저장 파일 이름"), this), 1, 0);
  grid->addWidget(targetField_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("진행 상황"), this), 2, 0);
  grid->addWidget(progress_, 2, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(makeButton);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(makeButton, &QPushButton::clicked, this, &DocumentFileDialog::make);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void DocumentFileDialog::make() {
  Outcome outcome;
  {
    OperationProgress progress(this, windowTitle(), true, progress_);
    outcome = makeFile(progress.callback());
    if (outcome.ok) progress.finish();
  }
  if (!outcome.ok) progress_->setValue(0);
  if (outcome.ok) emit made(fromNativePath(target_));
  ui_.message(outcome.cancelled ? QString::fromUtf8(kCancelledMessage)
                                : QString::fromStdString(outcome.message));
}

}  // namespace selvanor
