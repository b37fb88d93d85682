// "사용예 검색 옵션": the search text, the field to search (원문어절 or 분석어절) and the
// output file of the corpus manager's usage-example search.
#pragma once

#include <QDialog>

#include <string>

#include "facade/dbwrap.h"

class QLineEdit;
class QRadioButton;

namespace selvanor {

class UserInteraction;

struct ExampleOptions {
  std::string text;  // CP949
  DBWrap::ExampleField field = DBWrap::ExampleField::Word;
  std::string output;  // native path
};

class ExampleOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit ExampleOptionsDialog(UserInteraction& ui, QWidget* parent = nullptr);

  QLineEdit* textField() const { return text_; }
  QRadioButton* wordChoice() const { return word_; }
  QRadioButton* analysisChoice() const { return analysis_; }
  QLineEdit* outputField() const { return output_; }

  // "...": a save chooser; a name without an extension gets ".txt".
  void chooseOutput();
  // "검색": the first missing entry is named and the dialog stays open; otherwise the
  // options are taken and the dialog accepted.
  void trySearch();
  const ExampleOptions& options() const { return options_; }

 private:
  UserInteraction& ui_;
  QLineEdit* text_;
  QRadioButton* word_;
  QRadioButton* analysis_;
  QLineEdit* output_;
  ExampleOptions options_;
};

}  // namespace selvanor
