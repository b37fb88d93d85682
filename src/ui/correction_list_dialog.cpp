#include "ui/correction_list_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "lexicon/batch_modification.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

CorrectionListDialog::CorrectionListDialog(UserInteraction& ui, QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setWindowTitle(QStringLiteral("자동 수정 목록 "));
  auto* chooseButton = new QPushButton(QStringLiteral("자동 수정 목록"), this);
  field_ = new QLineEdit(this);
  field_->setReadOnly(true);  // typed text would not be used: the chooser's path counts
  field_->setMinimumWidth(380);
  auto* ok = new QPushButton(QStringLiteral("확 인"), this);
  auto* close = new QPushButton(QStringLiteral("닫 기"), this);
  ok->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addWidget(chooseButton);
  row->addWidget(field_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addLayout(buttons);

  connect(chooseButton, &QPushButton::clicked, this, &CorrectionListDialog::chooseList);
  connect(ok, &QPushButton::clicked, this, &CorrectionListDialog::confirm);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CorrectionListDialog::chooseList() {
  const QString chosen =
      ui_.chooseOpenFile(QStringLiteral("자동 수정 목록  Files (*.txt)|*.txt||"), QStringLiteral("*.txt"));
  list_ = nativePath(chosen);
  field_->setText(chosen);
}

void CorrectionListDialog::confirm() {
  if (auto refusal = batch::checkCorrectionList(list_)) {
    ui_.message(QString::fromStdString(*refusal));
    return;
  }
  accept();
}

}  // namespace selvanor
