#include "ui/example_options_dialog.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

ExampleOptionsDialog::ExampleOptionsDialog(UserInteraction& ui, QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setWindowTitle(QStringLiteral("사용예 검색 옵션"));
  text_ = new QLineEdit(this);
  word_ = new QRadioButton(QStringLiteral("원문어절"), this);
  analysis_ = new QRadioButton(QStringLiteral("분석어절"), this);
  // Exclusive, yet starting with neither chosen: the user must say which field.
  auto* choice = new QButtonGroup(this);
  choice->addButton(word_);
  choice->addButton(analysis_);
  output_ = new QLineEdit(this);
  output_->setMinimumWidth(300);
  auto* browse = new QPushButton(QStringLiteral("..."), this);
  auto* search = new QPushButton(QStringLiteral("검색"), this);
  auto* cancel = new QPushButton(QStringLiteral("취소"), this);
  search->setDefault(true);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("검색 대상 어절:"), this), 0, 0);
  grid->addWidget(text_, 0, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("검색 대상:"), this), 1, 0);
  auto* choices = new QHBoxLayout;
  choices->addWidget(word_);
  choices->addWidget(analysis_);
  choices->addStretch();
  grid->addLayout(choices, 1, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("저장 파일:"), this), 2, 0);
  grid->addWidget(output_, 2, 1);
  grid->addWidget(browse, 2, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(search);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(browse, &QPushButton::clicked, this, &ExampleOptionsDialog::chooseOutput);
  connect(search, &QPushButton::clicked, this, &ExampleOptionsDialog::trySearch);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ExampleOptionsDialog::chooseOutput() {
  QString path = ui_.chooseSaveFile(QStringLiteral("Text Files (*.txt)|*.txt||"),
                                    QStringLiteral("*.txt"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
  output_->setText(path);
}

void ExampleOptionsDialog::trySearch() {
  if (text_->text().isEmpty()) {
    ui_.message(QStringLiteral("검색 대상 어절을 입력하십시요"));
    return;
  }
  if (!word_->isChecked() && !analysis_->isChecked()) {
    ui_.message(QStringLiteral("검색 대상을 선택하십시요"));
    return;
  }
  if (output_->text().isEmpty()) {
    ui_.message(QStringLiteral("저장 파일을 선택하십시요."));
    return;
  }
  const std::optional<std::string> text = toCp949(text_->text(), ui_);
  if (!text) return;
  options_.text = *text;
  options_.field = word_->isChecked() ? DBWrap::ExampleField::Word : DBWrap::ExampleField::Analysis;
  options_.output = nativePath(output_->text());
  accept();
}

}  // namespace selvanor
