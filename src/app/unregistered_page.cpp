#include "app/unregistered_page.h"

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "lexicon/unregistered_dictionary.h"
#include "ui/unregistered_entry_dialog.h"

namespace selvanor {
namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

QString wordCell(const DBWrap::MideungjaeEntry& e, int column) {
  return fromCp949(column == 0 ? e.word : e.note);  // the note as stored, line breaks included
}

}  // namespace

CMiPage::CMiPage(UserInteraction& ui, QWidget* parent) : QWidget(parent), ui_(ui) {
  model_ = new UnregisteredEntryModel({"미등재어", "비고"}, &wordCell, this);
  const DictionaryPageParts parts = layOutDictionaryPage(this, model_);
  field_ = parts.field;
  list_ = parts.list;
  list_->setColumnWidth(0, 100);

  prompt_ = [this](const DBWrap::MideungjaeEntry& initial)
      -> std::optional<DBWrap::MideungjaeEntry> {
    UnregisteredEntryDialog dialog(ui_, initial, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.entry();
  };
  connect(parts.search, &QPushButton::clicked, this, &CMiPage::search);
  connect(field_, &QLineEdit::returnPressed, this, &CMiPage::search);
  connect(parts.modify, &QPushButton::clicked, this, &CMiPage::modifyEntry);
  connect(parts.add, &QPushButton::clicked, this, &CMiPage::addEntry);
  connect(parts.remove, &QPushButton::clicked, this, &CMiPage::deleteEntry);
}

void CMiPage::setPath(const QString& path) {
  path_ = path;
  model_->setEntries({});  // what was listed came from the previous dictionary
}

std::string CMiPage::dictionary() const { return nativePath(path_); }

// Asked before 추가 and 수정 too: with no file named, what the user typed could go nowhere.
bool CMiPage::checkPath() {
  if (!path_.isEmpty()) return true;
  ui_.warning(text(unregistered::msg::kSetDictionary));
  return false;
}

void CMiPage::search() {
  if (checkPath()) refresh();
}

void CMiPage::refresh() {
  const auto prefix = toCp949(field_->text(), ui_);
  if (!prefix) return;
  DBWrap db;
  std::vector<DBWrap::MideungjaeEntry> entries;
  const ResultCode rc = db.FindMideungjae(dictionary(), *prefix, entries);
  model_->setEntries(std::move(entries));
  // No match lists nothing; a dictionary not made yet, or a foreign file, is said so.
  if (rc != DBWrap::kMideungjaeFound) {
    ui_.warning(text(unregistered::msg::kCannotOpen) + QStringLiteral(" [") + path_ +
                QStringLiteral("]"));
  }
}

void CMiPage::addEntry() {
  if (!checkPath()) return;
  const auto entry = prompt_({});
  if (!entry) return;
  DBWrap db;
  show(unregistered::addMessage(db.addMideungjae(dictionary(), entry->word, entry->note, false)));
  refresh();
}

void CMiPage::modifyEntry() {
  if (!checkPath()) return;
  const int row = selectedListRow(*list_);
  if (row < 0) {
    ui_.warning(text(unregistered::msg::kSelectToModify));
    return;
  }
  const DBWrap::MideungjaeEntry old = model_->entry(row);
  const auto edited = prompt_(old);
  if (!edited) return;
  DBWrap db;
  show(db.modifyMideungjae(dictionary(), old, *edited).message);
  refresh();
}

void CMiPage::deleteEntry() {
  if (!checkPath()) return;
  const int row = selectedListRow(*list_);
  if (row < 0) {
    ui_.warning(text(unregistered::msg::kSelectToDelete));
    return;
  }
  DBWrap db;
  show(unregistered::deleteMessage(db.delMideungjae(dictionary(), model_->entry(row).word)));
  refresh();
}

void CMiPage::show(const char* message) {
  if (message) ui_.message(text(message));
}

}  // namespace selvanor
