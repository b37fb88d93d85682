#include "app/homonym_page.h"

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "lexicon/homonym_dictionary.h"
#include "store/dictionary_dump.h"
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
  list_->setWordWrap(false);
  list_->horizontalHeader()->setStretchLastSection(true);

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
  ui_.message(QString::fromUtf8(homonym::msg::kSetDictionary));
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
    ui_.message(QString::fromUtf8(homonym::msg::kCannotOpen) + QStringLiteral(" [") + path_ +
                QStringLiteral("]"));
  }
}

void CDicPage::addEntry() {
  if (!checkPath()) return;
  const auto entry = prompt_({});
  if (!entry) return;
  DBWrap db;
  const ResultCode rc = db.addDongumRec(dictionary(), *entry);
  // A sense already there is kept as it is, without a word: the list shows it.
  if (rc == result::kOpenError) ui_.message(QString::fromUtf8(homonym::msg::kCannotOpen));
  else if (rc != result::kOk && rc != result::kAlreadyExists) {
    ui_.message(QString::fromUtf8(homonym::msg::kCannotWrite));
  }
  refresh();
}

void CDicPage::modifyEntry() {
  if (!checkPath()) return;
  const int row = selectedListRow(*list_);
  if (row < 0) {
    ui_.message(QString::fromUtf8(homonym::msg::kSelectToModify));
    return;
  }
  // The sense as stored, line breaks of the meaning included.
  const DBWrap::DongumEntry old = model_->entry(row);
  const auto edited = prompt_(old);
  if (!edited) return;
  const std::string dic = dictionary();
  DBWrap db;
  // The corrected sense would be dropped as a duplicate after the old one was removed:
  // refuse before anything changes.
  if (edited->headword != old.headword || edited->numberedForm != old.numberedForm) {
    std::vector<DBWrap::DongumEntry> senses;
    if (db.getDongum(dic, edited->headword, senses) == DBWrap::kDongumUnavailable) {
      ui_.message(QString::fromUtf8(homonym::msg::kCannotOpen));
      return;
    }
    for (const auto& s : senses) {
      if (s.numberedForm == edited->numberedForm) {
        ui_.message(QString::fromUtf8(homonym::msg::kDuplicate));
        return;
      }
    }
  }
  const ResultCode removed = db.removeDongumRec(dic, old.headword, old.numberedForm);
  if (removed == result::kOpenError) {
    ui_.message(QString::fromUtf8(homonym::msg::kCannotOpen));
    refresh();
    return;
  }
  if (removed != result::kOk && removed != result::kKeyNotFound) {
    ui_.message(QString::fromUtf8(homonym::msg::kCannotWrite));
    refresh();
    return;
  }
  const ResultCode added = db.addDongumRec(dic, *edited);
  if (added != result::kOk) {
    // Put the old sense back rather than lose it (it goes to the end of its list).
    if (removed == result::kOk) (void)db.addDongumRec(dic, old);
    ui_.message(QString::fromUtf8(added == result::kAlreadyExists ? homonym::msg::kDuplicate
                                                                   : homonym::msg::kCannotWrite));
  }
  refresh();
}

void CDicPage::deleteEntry() {
  if (!checkPath()) return;
  const int row = selectedListRow(*list_);
  if (row < 0) {
    ui_.message(QString::fromUtf8(homonym::msg::kSelectToDelete));
    return;
  }
  const DBWrap::DongumEntry& e = model_->entry(row);
  DBWrap db;
  const ResultCode rc = db.removeDongumRec(dictionary(), e.headword, e.numberedForm);
  // A sense that is already gone needs no word: the refreshed list shows it.
  if (rc == result::kOpenError) ui_.message(QString::fromUtf8(homonym::msg::kCannotOpen));
  else if (rc != result::kOk && rc != result::kKeyNotFound) {
    ui_.message(QString::fromUtf8(homonym::msg::kCannotWrite));
  }
  refresh();
}

}  // namespace selvanor
