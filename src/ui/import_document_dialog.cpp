#include "ui/import_document_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/derived_paths.h"
#include "facade/dbwrap.h"
#include "store/document/build_decisions.h"
#include "store/interchange/import_decisions.h"
#include "ui/build_document_dialog.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

using interchange::Encoding;
using interchange::ImportFormat;

ImportDocumentDialog::ImportDocumentDialog(UserInteraction& ui, std::string openDocument,
                                           QWidget* parent)
    : QDialog(parent), ui_(ui), openDocument_(std::move(openDocument)) {
  setWindowTitle(QStringLiteral("분석 문헌 가져오기"));
  input_ = new QLineEdit(this);
  output_ = new QLineEdit(this);
  input_->setMinimumWidth(420);
  auto* chooseInputButton = new QPushButton(QStringLiteral("가져올 파일 선택"), this);
  auto* chooseOutputButton = new QPushButton(QStringLiteral("저장 파일 지정"), this);
  format_ = new QComboBox(this);
  format_->addItem(QStringLiteral("자동"), static_cast<int>(ImportFormat::Auto));
  format_->addItem(QStringLiteral("분석 텍스트"), static_cast<int>(ImportFormat::Text));
  format_->addItem(QStringLiteral("CoNLL-U"), static_cast<int>(ImportFormat::Conllu));
  encoding_ = new QComboBox(this);
  encoding_->addItem(QStringLiteral("자동"), static_cast<int>(Encoding::Auto));
  encoding_->addItem(QStringLiteral("CP949"), static_cast<int>(Encoding::Cp949));
  encoding_->addItem(QStringLiteral("UTF-8"), static_cast<int>(Encoding::Utf8));
  encoding_->addItem(QStringLiteral("UTF-16"), static_cast<int>(Encoding::Utf16));
  attachDa_ = new QCheckBox(QStringLiteral("[-다] 붙이기"), this);
  attachDa_->setChecked(true);
  replace_ = new QCheckBox(QStringLiteral("CP949에 없는 글자는 □로 바꾸기"), this);
  auto* importButton = new QPushButton(QStringLiteral("가져오기"), this);
  auto* closeButton = new QPushButton(QStringLiteral("닫  기"), this);

  auto* grid = new QGridLayout;
  grid->addWidget(chooseInputButton, 0, 0);
  grid->addWidget(input_, 0, 1);
  grid->addWidget(chooseOutputButton, 1, 0);
  grid->addWidget(output_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("형식"), this), 2, 0);
  grid->addWidget(format_, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("인코딩"), this), 3, 0);
  grid->addWidget(encoding_, 3, 1);
  grid->addWidget(attachDa_, 4, 1);
  grid->addWidget(replace_, 5, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(importButton);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  askPrefix_ = SerialPrefixDialog::prompt(ui_, this);
  connect(chooseInputButton, &QPushButton::clicked, this, &ImportDocumentDialog::chooseInput);
  connect(chooseOutputButton, &QPushButton::clicked, this, &ImportDocumentDialog::chooseOutput);
  connect(importButton, &QPushButton::clicked, this, &ImportDocumentDialog::runImport);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ImportDocumentDialog::chooseInput() {
  const QString path = ui_.chooseOpenFile(
      QStringLiteral("분석 텍스트, CoNLL-U (*.txt;*.conllu;*.conll)|*.txt;*.conllu;*.conll|"
                     "모든 파일 (*)|*||"),
      QStringLiteral("*.txt"));
  if (path.isEmpty()) return;
  input_->setText(path);
  output_->setText(fromNativePath(derived::builtDocument(nativePath(path))));
}

void ImportDocumentDialog::chooseOutput() {
  const QString path = ui_.chooseSaveFile(QStringLiteral("DATABASE Files (*.id)|*.id||"),
                                          QStringLiteral("*.id"));
  if (!path.isEmpty()) output_->setText(path);
}

void ImportDocumentDialog::runImport() {
  const std::string input = nativePath(input_->text());
  const std::string output = nativePath(output_->text());
  const auto format = static_cast<ImportFormat>(format_->currentData().toInt());
  const auto encoding = static_cast<Encoding>(encoding_->currentData().toInt());
  const interchange::ImportPlan plan =
      interchange::planImport(input, output, openDocument_, format, encoding);
  if (plan.refusal) {
    ui_.message(QString::fromStdString(*plan.refusal));
    return;
  }
  if (output.empty()) {
    ui_.message(QStringLiteral("저장 파일을 지정해 주세요"));
    return;
  }
  interchange::ImportRequest request{input, output, {}, attachDa_->isChecked(),
                                     replace_->isChecked()};
  if (plan.needsPrefix()) {
    std::optional<std::string> prefix = askPrefix_();
    if (!prefix) {
      ui_.message(QString::fromUtf8(build::msg::kCannotCreate));
      return;
    }
    request.prefix = std::move(*prefix);
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  DBWrap db;
  const interchange::ImportOutcome outcome = db.importBunsukDB(request, *plan.source);
  QApplication::restoreOverrideCursor();
  if (outcome.code == result::kOk) imported_.push_back(output);
  ui_.message(QString::fromStdString(interchange::outcomeMessage(outcome, *plan.source)));
}

}  // namespace selvanor
