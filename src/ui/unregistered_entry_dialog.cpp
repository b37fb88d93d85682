#include "ui/unregistered_entry_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "ui_base/qt_text.h"
#include "ui/dictionary_entry_fields.h"

namespace selvanor {

UnregisteredEntryDialog::UnregisteredEntryDialog(UserInteraction& ui,
                                                 const DBWrap::MideungjaeEntry& initial,
                                                 QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setWindowTitle(QStringLiteral("미등재어사전"));
  word_ = entryfields::uncutLineEdit(fromCp949(initial.word), this);
  note_ = new QPlainTextEdit(entryfields::shownLines(fromCp949(initial.note)), this);
  word_->setMinimumWidth(320);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("미등재어"), word_);
  form->addRow(QStringLiteral("비고"), note_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("확 인"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("취 소"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &UnregisteredEntryDialog::tryAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void UnregisteredEntryDialog::tryAccept() {
  auto word = toCp949(word_->text(), ui_);
  if (!word) return;
  auto note = toCp949(entryfields::storedLines(*note_), ui_);
  if (!note) return;
  entry_ = {std::move(*word), std::move(*note)};
  accept();
}

}  // namespace selvanor
