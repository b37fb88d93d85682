// "동음어 사전 만들기": builds the homonym dictionary from a homonym source text; the
// dictionary is the source path with the extension ".dic". A malformed record is shown
// with its line before the failure message; a failed build leaves any earlier dictionary
// at that path as it was (the build writes beside it and renames on success).
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QProgressBar;

namespace selvanor {

class UserInteraction;

class MakeHomonymDialog : public QDialog {
  Q_OBJECT
 public:
  explicit MakeHomonymDialog(UserInteraction& ui, QWidget* parent = nullptr);

  QLineEdit* sourceField() const { return source_; }
  // The line that names the dictionary the build writes, beside the source.
  QLabel* targetLabel() const { return target_; }
  // "동음 파일 선택": the chosen path, or an empty field when the chooser is cancelled.
  void chooseSource();
  // "동음어 사전 만들기": build and message; the dialog stays open.
  void build();

 private:
  void showTarget();

  UserInteraction& ui_;
  QLineEdit* source_;
  QLabel* target_;
  QProgressBar* progress_;
};

}  // namespace selvanor
