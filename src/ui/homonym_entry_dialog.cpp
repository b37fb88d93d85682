#include "ui/homonym_entry_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui_base/qt_text.h"
#include "ui/dictionary_entry_fields.h"

namespace selvanor {

HomonymEntryDialog::HomonymEntryDialog(UserInteraction& ui, const DBWrap::DongumEntry& initial,
                                       QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setWindowTitle(QStringLiteral("동음어 사전"));
  headword_ = entryfields::uncutLineEdit(fromCp949(initial.headword), this);
  numberedForm_ = entryfields::uncutLineEdit(fromCp949(initial.numberedForm), this);
  hanja_ = entryfields::uncutLineEdit(fromCp949(initial.hanja), this);
  meaning_ = new QPlainTextEdit(entryfields::shownLines(fromCp949(initial.meaning)), this);
  headword_->setMinimumWidth(320);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("음"), headword_);
  form->addRow(QStringLiteral("음번호"), numberedForm_);
  form->addRow(QStringLiteral("한자"), hanja_);
  form->addRow(QStringLiteral("의미"), meaning_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("확 인"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("취 소"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &HomonymEntryDialog::tryAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void HomonymEntryDialog::tryAccept() {
  auto headword = toCp949(headword_->text(), ui_);
  if (!headword) return;
  auto numberedForm = toCp949(numberedForm_->text(), ui_);
  if (!numberedForm) return;
  auto hanja = toCp949(hanja_->text(), ui_);
  if (!hanja) return;
  auto meaning = toCp949(entryfields::storedLines(*meaning_), ui_);
  if (!meaning) return;
  entry_ = {std::move(*headword), std::move(*numberedForm), std::move(*hanja),
            std::move(*meaning)};
  accept();
}

}  // namespace selvanor
