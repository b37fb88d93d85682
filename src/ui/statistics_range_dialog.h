// "통계 범위": the second step of 통계 실행. The range (전체, 실질어, 형식어 or 품사표지 with
// its tag pick), vocabulary or vocabulary with tags, and the result file; "확 인" turns
// them into the run type.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

#include "ui/tag_picker_dialog.h"

class QGroupBox;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace selvanor {

class UserInteraction;

class StatisticsRangeDialog : public QDialog {
  Q_OBJECT
 public:
  // `pickTags` runs the tag picker; nullopt when it was cancelled.
  using TagPrompt = std::function<std::optional<TagPick>()>;
  StatisticsRangeDialog(UserInteraction& ui, TagPrompt pickTags, QWidget* parent = nullptr);

  // "결과 파일": a save chooser; a confirmed choice replaces the field.
  void chooseResultFile();
  // "확 인": refuses an empty result file, otherwise accepts.
  void confirm();

  // After acceptance: the run type (1-7), the result file and, for type 5, the pick.
  [[nodiscard]] int runType() const;
  [[nodiscard]] std::string resultPath() const;
  [[nodiscard]] const std::optional<TagPick>& tagPick() const { return pick_; }

  // 전체, 실질어, 형식어, 품사표지; 어휘, 어휘+품사표지.
  QRadioButton* wholeButton() const { return whole_; }
  QRadioButton* contentButton() const { return content_; }
  QRadioButton* relationalButton() const { return relational_; }
  QRadioButton* tagsButton() const { return tags_; }
  QRadioButton* vocabularyButton() const { return vocabulary_; }
  QRadioButton* withTagsButton() const { return withTags_; }
  QLineEdit* resultField() const { return result_; }
  QLineEdit* lowerField() const { return lower_; }
  QLineEdit* upperField() const { return upper_; }
  QListWidget* pickedList() const { return picked_; }

 private:
  QGroupBox* buildScope();
  QGroupBox* buildTagOptions();
  QGroupBox* buildResultFile();
  void tagsChosen();
  void showPick();

  UserInteraction& ui_;
  TagPrompt pickTags_;
  std::optional<TagPick> pick_;
  QRadioButton* whole_;
  QRadioButton* content_;
  QRadioButton* relational_;
  QRadioButton* tags_;
  QRadioButton* vocabulary_;
  QRadioButton* withTags_;
  QLineEdit* lower_;
  QLineEdit* upper_;
  QListWidget* picked_;
  QLineEdit* result_;
};

}  // namespace selvanor
