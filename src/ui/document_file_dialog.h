// The layout the dialogs share that make one file from the open document: read-only
// fields "분석 문헌 파일" and "저장 파일 이름", a progress bar "진행 상황", the button that
// makes the file and "닫 기". Subclasses run the operation and word its outcome.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

#include "common/progress.h"

class QLineEdit;
class QProgressBar;

namespace selvanor {

class UserInteraction;

class DocumentFileDialog : public QDialog {
  Q_OBJECT
 public:
  QLineEdit* documentField() const { return documentField_; }
  QLineEdit* targetField() const { return targetField_; }
  const std::string& document() const { return document_; }
  const std::string& target() const { return target_; }

  // The make button: runs the operation and shows its message; the dialog stays open.
  void make();

 signals:
  // The file was made (only on success).
  void made(const QString& target);

 protected:
  DocumentFileDialog(UserInteraction& ui, const QString& title, const QString& makeCaption,
                     std::string document, std::string target, QWidget* parent);

  struct Outcome {
    bool ok = false;
    std::string message;  // UTF-8
    bool cancelled = false;  // stopped through `progress`: the old file is kept
  };
  // Makes the file from document(), telling `progress` how far it has come (it may be
  // cancelled: the file is built beside its target and renamed at the end).
  [[nodiscard]] virtual Outcome makeFile(const ProgressFn& progress) = 0;

 private:
  UserInteraction& ui_;
  std::string document_;
  std::string target_;
  QLineEdit* documentField_;
  QLineEdit* targetField_;
  QProgressBar* progress_;
};

}  // namespace selvanor
