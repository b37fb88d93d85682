// The homonym page "동음어 검색" of the dictionary bar: look-up and editing (추가, 수정,
// 삭제) of the homonym dictionary named in the settings. Every action opens the
// dictionary afresh through its own DBWrap, so a dictionary rebuilt or merged by another
// command is never read through an old handle.
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

// The senses found by the last search, as stored (CP949): 음, 음번호, 한자, 의미.
using HomonymEntryModel = DictionaryEntryModel<DBWrap::DongumEntry, 4>;

class CDicPage : public QWidget {
  Q_OBJECT
 public:
  explicit CDicPage(UserInteraction& ui, QWidget* parent = nullptr);

  // The dictionary the page works on (native path; empty when none is set).
  void setPath(const QString& path);
  QString path() const { return path_; }

  // Shows the entry dialog "동음어 사전" filled with `initial`; nullopt when cancelled.
  using EntryPrompt =
      std::function<std::optional<DBWrap::DongumEntry>(const DBWrap::DongumEntry& initial)>;
  void setEntryPrompt(EntryPrompt prompt) { prompt_ = std::move(prompt); }

  QLineEdit* searchField() const { return field_; }
  QTableView* list() const { return list_; }
  HomonymEntryModel* model() const { return model_; }

  // The buttons "검색" (also Enter in the search field), "추가", "수정", "삭제".
  void search();
  void addEntry();
  void modifyEntry();
  void deleteEntry();

 private:
  bool checkPath();
  // Lists the senses of the search field's text (after every edit too).
  void refresh();
  // Shows `message` (UTF-8) unless it is null.
  void show(const char* message);
  std::string dictionary() const;

  UserInteraction& ui_;
  EntryPrompt prompt_;
  QString path_;
  QLineEdit* field_;
  QTableView* list_;
  HomonymEntryModel* model_;
};

}  // namespace selvanor
