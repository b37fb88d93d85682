#include "ui/build_document_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/derived_paths.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "store/document/build_decisions.h"
#include "facade/dbwrap.h"
#include "ui_base/operation_progress.h"

namespace selvanor {

BuildDocumentDialog::BuildDocumentDialog(UserInteraction& ui, std::string openDocument,
                                         QWidget* parent)
    : QDialog(parent), ui_(ui), openDocument_(std::move(openDocument)) {
  setWindowTitle(QStringLiteral("분석 문헌 만들기"));
  input_ = new QLineEdit(this);
  output_ = new QLineEdit(this);
  input_->setMinimumWidth(420);
  auto* chooseInputButton = new QPushButton(QStringLiteral("분석 파일 선택"), this);
  auto* chooseOutputButton = new QPushButton(QStringLiteral("저장 파일 지정"), this);
  attachDa_ = new QCheckBox(QStringLiteral("[-다] 붙이기"), this);
  attachDa_->setChecked(true);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  auto* buildButton = new QPushButton(QStringLiteral("분석 문헌 만들기"), this);
  auto* closeButton = new QPushButton(QStringLiteral("닫  기"), this);

  auto* grid = new QGridLayout;
  grid->addWidget(chooseInputButton, 0, 0);
  grid->addWidget(input_, 0, 1);
  grid->addWidget(chooseOutputButton, 1, 0);
  grid->addWidget(output_, 1, 1);
  grid->addWidget(attachDa_, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("진행상태"), this), 3, 0);
  grid->addWidget(progress_, 3, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(buildButton);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  askPrefix_ = SerialPrefixDialog::prompt(ui_, this);
  connect(chooseInputButton, &QPushButton::clicked, this, &BuildDocumentDialog::chooseInput);
  connect(chooseOutputButton, &QPushButton::clicked, this, &BuildDocumentDialog::chooseOutput);
  connect(buildButton, &QPushButton::clicked, this, &BuildDocumentDialog::build);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void BuildDocumentDialog::chooseInput() {
  const QString path = ui_.chooseOpenFile(QStringLiteral("Text Files (*.txt)|*.txt||"),
                                          QStringLiteral("*.txt"));
  if (path.isEmpty()) return;
  input_->setText(path);
  output_->setText(fromNativePath(derived::builtDocument(nativePath(path))));
}

void BuildDocumentDialog::chooseOutput() {
  const QString path = ui_.chooseSaveFile(QStringLiteral("DATABASE Files (*.id)|*.id||"),
                                          QStringLiteral("*.id"));
  if (!path.isEmpty()) output_->setText(path);
}

void BuildDocumentDialog::build() {
  const std::string input = nativePath(input_->text());
  const std::string output = nativePath(output_->text());
  const build::BuildPlan plan = build::planDocumentBuild(input, output, openDocument_);
  if (plan.refusal) {
    ui_.message(QString::fromStdString(*plan.refusal));
    return;
  }
  if (output.empty()) {
    ui_.message(QStringLiteral("저장 파일을 지정해 주세요"));
    return;
  }
  std::string prefix;
  if (plan.needsPrefix) {
    auto answer = askPrefix_();
    if (!answer) {
      ui_.message(QString::fromUtf8(build::msg::kCannotCreate));
      return;
    }
    prefix = std::move(*answer);
  }
  DBWrap db;
  ResultCode rc = result::kOk;
  {
    // Built beside the output and renamed at the end: stopping keeps the old document.
    OperationProgress progress(this, windowTitle(), true, progress_);
    rc = db.makeBunsukDB(input, output, prefix, plan.mode(), attachDa_->isChecked(),
                         progress.callback());
    if (rc == result::kOk) progress.finish();
  }
  if (rc != result::kOk) progress_->setValue(0);
  if (rc == result::kCancelled) {
    ui_.message(QString::fromUtf8(kCancelledMessage));
    return;
  }
  ui_.message(QString::fromStdString(build::outcomeMessage(rc, db.lastSerial(), db.foreignText())));
}

std::function<std::optional<std::string>()> SerialPrefixDialog::prompt(UserInteraction& ui,
                                                                      QWidget* parent) {
  return [&ui, parent]() -> std::optional<std::string> {
    SerialPrefixDialog dialog(ui, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.prefix();
  };
}

SerialPrefixDialog::SerialPrefixDialog(UserInteraction& ui, QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setWindowTitle(QStringLiteral("일련 번호 생성"));
  field_ = new QLineEdit(this);
  field_->setMaxLength(static_cast<int>(build::kSerialPrefixLength));
  auto* ok = new QPushButton(QStringLiteral("확 인"), this);
  auto* close = new QPushButton(QStringLiteral("닫기"), this);
  ok->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("일련번호"), this));
  row->addWidget(field_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8(build::msg::kNoSerials), this));
  layout->addWidget(new QLabel(QString::fromUtf8(build::msg::kAskPrefix), this));
  layout->addLayout(row);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &SerialPrefixDialog::tryAccept);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void SerialPrefixDialog::tryAccept() {
  auto prefix = toCp949(field_->text(), ui_);
  if (!prefix) return;
  if (auto refusal = build::checkSerialPrefix(*prefix)) {
    ui_.message(QString::fromStdString(*refusal));
    return;  // the prompt stays open
  }
  prefix_ = std::move(*prefix);
  accept();
}

}  // namespace selvanor
