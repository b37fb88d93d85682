// "그룹명 입력": asks the corpus manager for the name of a new group.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

namespace selvanor {

class UserInteraction;

class GroupNameDialog : public QDialog {
  Q_OBJECT
 public:
  explicit GroupNameDialog(UserInteraction& ui, QWidget* parent = nullptr);

  QLineEdit* field() const { return field_; }
  // The accepted name in CP949 (may be empty).
  const std::string& name() const { return name_; }
  // "확 인": a name CP949 cannot hold is refused and the dialog stays open.
  void tryAccept();

 private:
  UserInteraction& ui_;
  QLineEdit* field_;
  std::string name_;
};

}  // namespace selvanor
