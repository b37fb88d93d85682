#include "ui/file_pair_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

FilePairDialog::FilePairDialog(UserInteraction& ui, const Captions& captions, QString filter,
                               QString initial, OnCancel onCancel, QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      filter_(std::move(filter)),
      initial_(std::move(initial)),
      onCancel_(onCancel) {
  setWindowTitle(captions.title);
  base_ = new QLineEdit(this);
  added_ = new QLineEdit(this);
  base_->setMinimumWidth(420);
  auto* baseButton = new QPushButton(captions.base, this);
  auto* addedButton = new QPushButton(captions.added, this);
  auto* okButton = new QPushButton(QStringLiteral("확 인"), this);
  auto* closeButton = new QPushButton(QStringLiteral("닫 기"), this);
  okButton->setDefault(true);

  auto* grid = new QGridLayout;
  grid->addWidget(baseButton, 0, 0);
  grid->addWidget(base_, 0, 1);
  grid->addWidget(addedButton, 1, 0);
  grid->addWidget(added_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(baseButton, &QPushButton::clicked, this, &FilePairDialog::chooseBase);
  connect(addedButton, &QPushButton::clicked, this, &FilePairDialog::chooseAdded);
  connect(okButton, &QPushButton::clicked, this, [this] { confirm(); });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void FilePairDialog::chooseBase() { choose(base_); }
void FilePairDialog::chooseAdded() { choose(added_); }

void FilePairDialog::choose(QLineEdit* field) {
  const QString path = ui_.chooseOpenFile(filter_, initial_);
  if (!path.isEmpty() || onCancel_ == OnCancel::ClearField) field->setText(path);
}

std::string FilePairDialog::basePath() const { return nativePath(base_->text()); }
std::string FilePairDialog::addedPath() const { return nativePath(added_->text()); }

}  // namespace selvanor
