// The layout of the merge dialogs: two rows, the base file and the file merged into it,
// each a button that opens a file chooser and the field it fills, then "확 인" (what the
// dialog does) and "닫 기".
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QLineEdit;

namespace selvanor {

class UserInteraction;

class FilePairDialog : public QDialog {
  Q_OBJECT
 public:
  // What a cancelled chooser does to its field.
  enum class OnCancel { KeepField, ClearField };

  QLineEdit* baseField() const { return base_; }
  QLineEdit* addedField() const { return added_; }
  void chooseBase();
  void chooseAdded();
  // "확 인".
  virtual void confirm() = 0;

 protected:
  // The captions of the two row buttons ("기본 파일", "합칠 파일").
  struct Captions {
    QString title, base, added;
  };
  // `filter` and `initial` are handed to every chooser.
  FilePairDialog(UserInteraction& ui, const Captions& captions, QString filter, QString initial,
                 OnCancel onCancel, QWidget* parent);
  // The fields as native paths.
  std::string basePath() const;
  std::string addedPath() const;

  UserInteraction& ui_;

 private:
  void choose(QLineEdit* field);

  QString filter_;
  QString initial_;
  OnCancel onCancel_;
  QLineEdit* base_;
  QLineEdit* added_;
};

}  // namespace selvanor
