// "미등재어사전": one unregistered word and its note (the unregistered-word page's 추가 and
// 수정). Fields are taken whole, however long; text CP949 cannot hold is refused with a
// message and the dialog stays open with everything still typed in.
#pragma once

#include <QDialog>

#include "facade/dbwrap.h"

class QLineEdit;
class QPlainTextEdit;

namespace selvanor {

class UserInteraction;

class UnregisteredEntryDialog : public QDialog {
  Q_OBJECT
 public:
  // `initial`: the entry to correct (CP949), or an empty entry to add one.
  UnregisteredEntryDialog(UserInteraction& ui, const DBWrap::MideungjaeEntry& initial,
                          QWidget* parent = nullptr);

  QLineEdit* wordField() const { return word_; }
  QPlainTextEdit* noteField() const { return note_; }

  // "확 인": converts both fields to CP949 and accepts, or refuses and stays open.
  void tryAccept();
  // The accepted entry (CP949); line breaks of the note are CR LF.
  [[nodiscard]] const DBWrap::MideungjaeEntry& entry() const { return entry_; }

 private:
  UserInteraction& ui_;
  QLineEdit* word_;
  QPlainTextEdit* note_;
  DBWrap::MideungjaeEntry entry_;
};

}  // namespace selvanor
