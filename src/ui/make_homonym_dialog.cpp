#include "ui/make_homonym_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/derived_paths.h"
#include "common/progress.h"
#include "facade/dbwrap.h"
#include "lexicon/homonym_dictionary.h"
#include "ui_base/operation_progress.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

MakeHomonymDialog::MakeHomonymDialog(UserInteraction& ui, QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setWindowTitle(QStringLiteral("동음어 사전 만들기"));
  source_ = new QLineEdit(this);
  source_->setMinimumWidth(420);
  auto* chooseButton = new QPushButton(QStringLiteral("동음 파일 선택"), this);
  auto* buildButton = new QPushButton(QStringLiteral("동음어 사전 만들기"), this);
  auto* closeButton = new QPushButton(QStringLiteral("닫 기"), this);
  // Follows the build over the source text (with the progress dialog).
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setValue(0);

  target_ = new QLabel(this);
  target_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  showTarget();

  auto* sourceRow = new QHBoxLayout;
  sourceRow->addWidget(chooseButton);
  sourceRow->addWidget(source_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(progress_, 1);
  buttons->addWidget(buildButton);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(sourceRow);
  layout->addWidget(target_);
  layout->addLayout(buttons);

  connect(chooseButton, &QPushButton::clicked, this, &MakeHomonymDialog::chooseSource);
  connect(buildButton, &QPushButton::clicked, this, &MakeHomonymDialog::build);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(source_, &QLineEdit::textChanged, this, &MakeHomonymDialog::showTarget);
}

// The dictionary is written beside its source: say where before the build overwrites it.
void MakeHomonymDialog::showTarget() {
  const QString source = source_->text().trimmed();
  target_->setText(source.isEmpty() ? QStringLiteral("만들 사전: (동음 파일과 같은 폴더에 .dic로 만듭니다)")
                                    : QStringLiteral("만들 사전: ") +
                                          fromNativePath(derived::homonymDictionary(nativePath(source))));
}

void MakeHomonymDialog::chooseSource() {
  source_->setText(
      ui_.chooseOpenFile(QStringLiteral("동음어 파일 (*.txt)|*.txt||"), QStringLiteral("*.txt")));
}

void MakeHomonymDialog::build() {
  const std::string source = nativePath(source_->text());
  DBWrap db;
  ResultCode rc = result::kOk;
  {
    // Built beside the dictionary and renamed at the end: a cancel keeps the old one.
    OperationProgress progress(this, windowTitle(), true, progress_);
    rc = db.makeDongumDB(source, derived::homonymDictionary(source), progress.callback());
    progress.finish();
  }
  if (rc == result::kCancelled) {
    progress_->setValue(progress_->minimum());
    ui_.message(QString::fromUtf8(kCancelledMessage));
    return;
  }
  if (rc == result::kOk) {
    ui_.message(QString::fromUtf8(homonym::msg::kBuilt));
    return;
  }
  if (rc == DBWrap::kDongumFormatError) {
    ui_.message(QString::fromStdString(homonym::formatErrorMessage(db.dongumFormatError())));
  }
  ui_.message(QString::fromUtf8(homonym::msg::kBuildFailed));
}

}  // namespace selvanor
