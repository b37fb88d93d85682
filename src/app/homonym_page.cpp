#include "app/homonym_page.h"

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "lexicon/homonym_dictionary.h"
#include "store/interchange/dictionary_dump.h"
#include "ui/homonym_entry_dialog.h"

namespace selvanor {
namespace {

QString senseCell(const DBWrap::DongumEntry& e, int column) {
  switch (column) {
    case 0: return fromCp949(e.headword);
    case 1: return fromCp949(e.numberedForm);
    case 2: return fromCp949(e.hanja);
    default: return fromCp949(dump::noteOnOneLine(e.meaning));  // one line per sense
  }
}

}  // namespace

CDicPage::CDicPage(UserInteraction& ui, QWidget* parent) : QWidget(parent), ui_(ui) {
  model_ = new HomonymEntryModel({"음", "음번호", "한자", "의미"}, &senseCell, this);
  const DictionaryPageParts parts = layOutDictionaryPage(this, model_);
  field_ = parts.field;
  list_ = parts.list;

  prompt_ = [this](const DBWrap::DongumEntry& initial) -> std::optional<DBWrap::DongumEntry> {
    HomonymEntryDialog dialog(ui_, initial, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.entry();
  };
  connect(parts.search, &QPushButton::clicked, this, &CDicPage::search);
  connect(field_, &QLineEdit::returnPressed, this, &CDicPage::search);
  connect(parts.modify, &QPushButton::clicked, this, &CDicPage::modifyEntry);
  connect(parts.add, &QPushButton::clicked, this, &CDicPage::addEntry);
  connect(parts.remove, &QPushButton::clicked, this, &CDicPage::deleteEntry);
}

void CDicPage::setPath(const QString& path) {
  path_ = path;
  model_->setEntries({});  // what was listed came from the previous dictionary
}

std::string CDicPage::dictionary() const { return nativePath(path_); }

bool CDicPage::checkPath() {
  if (!path_.isEmpty()) return true;
  ui_.warning(QString::fromUtf8(homonym::msg::kSetDictionary));
  return false;
}

void CDicPage::search() {
  if (checkPath()) refresh();
}

void CDicPage::refresh() {
  const auto key = toCp949(field_->text(), ui_);
  if (!key) return;
  DBWrap db;
  std::vector<DBWrap::DongumEntry> entries;
  const ResultCode rc = db.getDongum(dictionary(), *key, entries);
  model_->setEntries(std::move(entries));
  // An absent head word just lists nothing; a missing or foreign file is said so.
  if (rc == DBWrap::kDongumUnavailable) {
    ui_.warning(QString::fromUtf8(homonym::msg::kCannotOpen) + QStringLiteral(" [") + path_ +
                QStringLiteral("]"));
  }
}

void CDicPage::addEntry() {
  if (!checkPath()) return;
  const auto entry = prompt_({});
  if (!entry) return;
  DBWrap db;
  show(homonym::addOrRemoveMessage(db.addDongumRec(dictionary(), *entry)));
  refresh();
}

void CDicPage::modifyEntry() {
  if (!checkPath()) return;
  const int row = selectedListRow(*list_);
  if (row < 0) {
    ui_.warning(QString::fromUtf8(homonym::msg::kSelectToModify));
    return;
  }
  // The sense as stored, line breaks of the meaning included.
  const DBWrap::DongumEntry old = model_->entry(row);
  const auto edited = prompt_(old);
  if (!edited) return;
  DBWrap db;
  const EditOutcome outcome = db.modifyDongumRec(dictionary(), old, *edited);
  show(outcome.message);
  // A refusal before anything changed keeps the list as it is.
  if (!outcome.refused) refresh();
}

void CDicPage::deleteEntry() {
  if (!checkPath()) return;
  const int row = selectedListRow(*list_);
  if (row < 0) {
    ui_.warning(QString::fromUtf8(homonym::msg::kSelectToDelete));
    return;
  }
  const DBWrap::DongumEntry& e = model_->entry(row);
  DBWrap db;
  show(homonym::addOrRemoveMessage(db.removeDongumRec(dictionary(), e.headword, e.numberedForm)));
  refresh();
}

void CDicPage::show(const char* message) {
  if (message) ui_.message(QString::fromUtf8(message));
}

}  // namespace selvanor
