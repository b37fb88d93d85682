// The unregistered-word page "미등재어 사전" of the dictionary bar: prefix look-up and
// editing (추가, 수정, 삭제) of the unregistered-word dictionary named in the settings.
// Every action opens the dictionary afresh through its own DBWrap.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>

#include "facade/dbwrap.h"
#include "ui_base/dictionary_page_parts.h"

class QLineEdit;
class QTableView;

namespace selvanor {

class UserInteraction;

// The entries found by the last search, as stored (CP949): 미등재어, 비고.
using UnregisteredEntryModel = DictionaryEntryModel<DBWrap::MideungjaeEntry, 2>;

class CMiPage : public QWidget {
  Q_OBJECT
 public:
  explicit CMiPage(UserInteraction& ui, QWidget* parent = nullptr);

  // The dictionary the page works on (native path; empty when none is set).
  void setPath(const QString& path);
  QString path() const { return path_; }

  // Shows the entry dialog "미등재어사전" filled with `initial`; nullopt when cancelled.
  using EntryPrompt = std::function<std::optional<DBWrap::MideungjaeEntry>(
      const DBWrap::MideungjaeEntry& initial)>;
  void setEntryPrompt(EntryPrompt prompt) { prompt_ = std::move(prompt); }

  QLineEdit* searchField() const { return field_; }
  QTableView* list() const { return list_; }
  UnregisteredEntryModel* model() const { return model_; }

  // The buttons "검색" (also Enter in the search field), "추가", "수정", "삭제".
  void search();
  void addEntry();
  void modifyEntry();
  void deleteEntry();

 private:
  bool checkPath();
  // Lists the words beginning with the search field's text (after every edit too).
  void refresh();
  // Shows `message` (UTF-8) unless it is null.
  void show(const char* message);
  std::string dictionary() const;

  UserInteraction& ui_;
  EntryPrompt prompt_;
  QString path_;
  QLineEdit* field_;
  QTableView* list_;
  UnregisteredEntryModel* model_;
};

}  // namespace selvanor
