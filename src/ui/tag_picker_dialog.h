// "분석표지 선택창": the tag picker of the part-of-speech-tag statistics. The user picks the
// consonant range of the items and the classes, items or sub-items whose tags are
// counted; "작업 시작" turns the picks into a tag list and a syllable range.
#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "stats/consonant_range.h"

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QRadioButton;

namespace selvanor {

class TagManager;
struct TagNode;
class UserInteraction;

// What the picker hands back on "작업 시작".
struct TagPick {
  std::vector<std::string> tags;     // CP949, repeats dropped
  stats::SyllableRange range;        // the bounds of the two consonant choices
  std::vector<std::string> classes;  // the picked names (CP949), for the range dialog's list
};

class TagPickerDialog : public QDialog {
  Q_OBJECT
 public:
  // `tags` must be loaded and outlive the dialog; the picker fills its result list.
  TagPickerDialog(UserInteraction& ui, const TagManager& tags, QWidget* parent = nullptr);

  // "작업 시작": collects the tags of the picked names of the enabled list and accepts.
  void start();
  [[nodiscard]] const std::optional<TagPick>& pick() const { return pick_; }

  QComboBox* lowerChoice() const { return lower_; }
  QComboBox* upperChoice() const { return upper_; }
  // Level 1 대분류, 2 소분류, 3 세분류.
  [[nodiscard]] QListWidget* list(int level) const { return lists_[level - 1]; }
  [[nodiscard]] QRadioButton* levelButton(int level) const { return levelButtons_[level - 1]; }

 private:
  void chooseLevel(int level);
  void lowerChanged();
  void upperChanged();
  // A class or item was (de)selected: its items and sub-items follow it.
  void linkFrom(int level, QListWidgetItem* item);
  void selectNamed(int level, const std::string& name, bool selected);

  UserInteraction& ui_;
  const TagManager& tags_;
  const std::vector<TagNode>* classes_;
  QComboBox* lower_;
  QComboBox* upper_;
  QListWidget* lists_[3];
  QRadioButton* levelButtons_[3];
  int level_ = 1;
  bool linking_ = false;
  std::optional<TagPick> pick_;
};

}  // namespace selvanor
