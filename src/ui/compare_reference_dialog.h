// "참조 파일과 비교": the words of one reference file analysed otherwise than in another,
// written as a report (DBWrap::reviewWonmunDB). Three rows of a button and a path field
// ("참조 파일", "비교 참조 파일", "결과 저장 파일"), then "재검토" and "취 소".
#pragma once

#include <QDialog>

#include <cstddef>
#include <string>
#include <vector>

#include "lexicon/review_report.h"

class QLineEdit;

namespace selvanor {

class UserInteraction;

class CompareReferenceDialog : public QDialog {
  Q_OBJECT
 public:
  // `maxGroups`: groups kept for the list window after a successful comparison.
  CompareReferenceDialog(UserInteraction& ui, std::size_t maxGroups, QWidget* parent = nullptr);

  // The row buttons: a chooser each; its choice, or an empty text when cancelled, fills
  // the field.
  void chooseReference();
  void chooseCompared();
  void chooseReport();
  // "재검토": the first empty field is named and the dialog stays open; otherwise the
  // comparison runs and its message is shown. On success the dialog is accepted; a
  // failure names the file and keeps the dialog open with the paths as they were.
  void review();

  QLineEdit* referenceField() const { return reference_; }
  QLineEdit* comparedField() const { return compared_; }
  QLineEdit* reportField() const { return report_; }

  // After acceptance: the report written, and the groups for the list window.
  [[nodiscard]] QString reportPath() const;
  [[nodiscard]] std::vector<review::ReviewGroup> takeGroups() { return groups_.takeGroups(); }
  [[nodiscard]] std::size_t totalGroups() const { return groups_.total(); }

 private:
  UserInteraction& ui_;
  QLineEdit* reference_;
  QLineEdit* compared_;
  QLineEdit* report_;
  review::GroupCollector groups_;
};

}  // namespace selvanor
