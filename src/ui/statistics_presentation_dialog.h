// "결과 제시": the last step of 통계 실행. The report's columns, sort order, marker and
// re-analysis passes, and the extras (per-million rate, document range, UTF-8 output);
// "확 인" turns them into the run's option string.
#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace selvanor {

class UserInteraction;

// What the presentation step hands the run.
struct Presentation {
  std::string options;         // the 11-character option string
  std::string reanalysisPath;  // native path, empty for none
  bool perMillion = false;
  bool docRange = false;
  bool utf8 = false;
};

class StatisticsPresentationDialog : public QDialog {
  Q_OBJECT
 public:
  // `runType` 1-7: vocabulary runs (1, 3, 6) have no tag column and no tag order.
  StatisticsPresentationDialog(UserInteraction& ui, int runType, QWidget* parent = nullptr);

  // "재분석파일": an open chooser; a confirmed choice replaces the field.
  void chooseReanalysisFile();
  [[nodiscard]] Presentation presentation() const;

  // Column check boxes by option position 0-7.
  [[nodiscard]] QCheckBox* column(int position) const { return columns_[position]; }
  QRadioButton* sortButton(int key) const { return sort_[key - 1]; }  // 1 item, 2 tag, 3 frequency
  QCheckBox* ascendingBox() const { return ascending_; }
  QCheckBox* descendingBox() const { return descending_; }
  QCheckBox* ignoreMarkersBox() const { return ignoreMarkers_; }
  QCheckBox* perMillionBox() const { return perMillion_; }
  QCheckBox* docRangeBox() const { return docRange_; }
  QCheckBox* utf8Box() const { return utf8_; }
  QLineEdit* reanalysisField() const { return reanalysis_; }

 private:
  QGroupBox* buildColumns();
  QGroupBox* buildSortOrder();
  QGroupBox* buildPasses();
  void setDescending(bool descending);
  void updateExclusions();

  UserInteraction& ui_;
  bool tagged_;
  QCheckBox* columns_[8];
  QRadioButton* sort_[3];
  QCheckBox* ascending_;
  QCheckBox* descending_;
  QCheckBox* ignoreMarkers_;
  QCheckBox* perMillion_;
  QCheckBox* docRange_;
  QCheckBox* utf8_;
  QLineEdit* reanalysis_;
};

}  // namespace selvanor
