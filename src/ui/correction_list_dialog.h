// "자동 수정 목록 ": the small dialog of the batch 형태소->단어 that asks for the
// auto-correction list. Only a path chosen through its chooser counts; the field shows it.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

namespace selvanor {

class UserInteraction;

class CorrectionListDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CorrectionListDialog(UserInteraction& ui, QWidget* parent = nullptr);

  // "자동 수정 목록": an open-file chooser; its choice, or nothing when cancelled, is the list.
  void chooseList();
  // "확 인": accepted with a chosen list; without one the user is told and the dialog stays.
  void confirm();

  // The list chosen through the chooser (native path; empty when none).
  [[nodiscard]] const std::string& listPath() const { return list_; }
  QLineEdit* listField() const { return field_; }

 private:
  UserInteraction& ui_;
  QLineEdit* field_;
  std::string list_;
};

}  // namespace selvanor
