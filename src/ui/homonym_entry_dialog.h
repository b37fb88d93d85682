// "동음어 사전": one sense of a head word, typed or corrected by hand (the homonym page's
// 추가 and 수정). Fields are taken whole, however long; text CP949 cannot hold is refused
// with a message and the dialog stays open with everything still typed in.
#pragma once

#include <QDialog>

#include "facade/dbwrap.h"

class QLineEdit;
class QPlainTextEdit;

namespace selvanor {

class UserInteraction;

class HomonymEntryDialog : public QDialog {
  Q_OBJECT
 public:
  // `initial`: the sense to correct (CP949), or an empty entry to add one.
  HomonymEntryDialog(UserInteraction& ui, const DBWrap::DongumEntry& initial,
                     QWidget* parent = nullptr);

  QLineEdit* headwordField() const { return headword_; }
  QLineEdit* numberedFormField() const { return numberedForm_; }
  QLineEdit* hanjaField() const { return hanja_; }
  QPlainTextEdit* meaningField() const { return meaning_; }

  // "확 인": converts the four fields to CP949 and accepts, or refuses and stays open.
  void tryAccept();
  // The accepted sense (CP949); line breaks of the meaning are CR LF.
  [[nodiscard]] const DBWrap::DongumEntry& entry() const { return entry_; }

 private:
  UserInteraction& ui_;
  QLineEdit* headword_;
  QLineEdit* numberedForm_;
  QLineEdit* hanja_;
  QPlainTextEdit* meaning_;
  DBWrap::DongumEntry entry_;
};

}  // namespace selvanor
