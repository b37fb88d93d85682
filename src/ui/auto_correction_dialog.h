// "자동 수정 목록 ": applies an auto-correction list (morpheme to word) to the open
// document with DBWrap::autoSujung and tells the outcome with the messages the command
// line prints (lexicon/auto_correction.h).
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QProgressBar;

namespace selvanor {

class UserInteraction;

class AutoCorrectionDialog : public QDialog {
  Q_OBJECT
 public:
  // `document`: the analysis document to correct (native path).
  AutoCorrectionDialog(UserInteraction& ui, std::string document, QWidget* parent = nullptr);

  // "자동 수정 목록": an open-file chooser; a confirmed choice replaces the path field.
  void chooseList();
  // "자동 수정": runs the list over the document and shows the outcome. The dialog stays open.
  void correct();

  QLineEdit* documentField() const { return document_; }
  QLineEdit* listField() const { return list_; }

 signals:
  // The document's file was replaced by its corrected copy: a grid holding it open must
  // read it again.
  void documentRewritten();

 private:
  UserInteraction& ui_;
  std::string documentPath_;
  QLineEdit* document_;
  QLineEdit* list_;
  QProgressBar* progress_;
};

}  // namespace selvanor
