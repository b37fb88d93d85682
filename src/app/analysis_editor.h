// "분석결과 편집": the modal dialog in which one record's analysis is rewritten morpheme
// by morpheme. The record arrives and leaves as CP949 bytes; the widgets hold QString.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

#include "store/document/analysis_record.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;
class QVBoxLayout;

namespace selvanor {

class TagComboBox;
class TagManager;
class UserInteraction;

class AnalysisEditor : public QDialog {
  Q_OBJECT

 public:
  // Rows always shown; an analysis with more morphemes gets a row for each of them.
  static constexpr int kMinRows = 15;

  // What a row shows: the texts as the user sees them.
  struct RowContent {
    QString text;
    QString marker;
    QString tag;
    bool applied = false;
  };

  // `tags` may be null: then "TagManager가 설정되지 않았습니다." and the rows stay empty.
  // `tags` and `ui` must outlive the dialog.
  AnalysisEditor(const AnalysisRecord& record, TagManager* tags, UserInteraction& ui,
                 QWidget* parent = nullptr);
  ~AnalysisEditor() override;

  // After exec() == Accepted: the edited record (serial, word, rebuilt analysis) in CP949.
  // Before that, the record the dialog was opened with.
  [[nodiscard]] const AnalysisRecord& result() const { return result_; }

  [[nodiscard]] int rowCount() const { return static_cast<int>(rows_.size()); }
  [[nodiscard]] RowContent row(int k) const;  // 0-based

  // "+" on row k: an empty checked row is put in at k, the rows from k move down.
  void pressPlus(int k);
  // "-" on row k: row k goes, the rows below move up.
  void pressMinus(int k);

  // The widgets, for keyboard-driven tests.
  [[nodiscard]] QLineEdit* serialField() const { return serial_; }
  [[nodiscard]] QLineEdit* wordField() const { return word_; }
  [[nodiscard]] QCheckBox* applyBox(int k) const;
  [[nodiscard]] QLineEdit* textField(int k) const;
  [[nodiscard]] QComboBox* markerBox(int k) const;
  [[nodiscard]] TagComboBox* tagBox(int k) const;
  [[nodiscard]] QPushButton* applyButton() const { return applyButton_; }

  // "적용": rebuilds the record; text CP949 cannot hold, or a serial or word that is
  // empty or has blanks, is refused with a message and the dialog stays open.
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // One morpheme row: its own line widget, so rows come and go as a whole.
  struct Row {
    QWidget* line = nullptr;
    QCheckBox* apply = nullptr;
    QLineEdit* text = nullptr;
    QComboBox* marker = nullptr;
    TagComboBox* tag = nullptr;
    QToolButton* plus = nullptr;
    QToolButton* minus = nullptr;
  };
  struct RowState;

  void buildLayout(const AnalysisRecord& record);
  // buildLayout's parts, in the order it builds them.
  [[nodiscard]] QHBoxLayout* buildFields(const AnalysisRecord& record);
  void measureColumns();
  [[nodiscard]] QWidget* buildHeader();
  void buildRowsArea();
  [[nodiscard]] QDialogButtonBox* buildButtons();
  void addButtonsHeading();
  void sizeRowsArea();
  void fillRows(const std::string& analysis);
  void addRowWidgets();
  // addRowWidgets' parts: the row's widgets, its signals and its place in the tab order.
  [[nodiscard]] QWidget* makeApplyCell(Row& r) const;
  void makeRowFields(Row& r) const;
  static void makeRowButtons(Row& r);
  void connectRow(const Row& r, int k);
  static void chainTabOrder(const Row& previous, const Row& r);
  void removeLastRowWidgets();
  [[nodiscard]] std::vector<RowState> readRows() const;
  void writeRows(const std::vector<RowState>& states);
  void setRowEnabled(int k, bool enabled);
  void insertRow(int k);
  void removeRow(int k);
  void updateHeaderMargins();
  void focusField(QWidget* field);

  TagManager* tags_;
  UserInteraction& ui_;
  AnalysisRecord result_;
  QStringList markerList_;
  QStringList tagList_;

  QLineEdit* serial_ = nullptr;
  QLineEdit* word_ = nullptr;
  QHBoxLayout* headerLayout_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QVBoxLayout* rowsLayout_ = nullptr;
  QPushButton* applyButton_ = nullptr;
  std::vector<Row> rows_;
  // Fixed column widths shared by the headings and every row, so the columns line up.
  int applyWidth_ = 0;
  int markerWidth_ = 0;
  int tagWidth_ = 0;
};

}  // namespace selvanor
