// The modeless search window "검색": target (serial, word, analysis), direction, the
// pattern and the replacement. It remembers its fields while hidden; the view does the
// searching and replacing when it asks.
#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace selvanor {

class SearchWindow : public QDialog {
  Q_OBJECT
 public:
  explicit SearchWindow(QWidget* parent = nullptr);

  int target() const;     // 0 serial, 1 word, 2 analysis
  int direction() const;  // 0 down, 1 up
  QString pattern() const;
  QString replacement() const;

  void setTarget(int target);
  void setDirection(int direction);
  void setPattern(const QString& text);
  void setReplacement(const QString& text);

  QLineEdit* patternField() const { return pattern_; }

 signals:
  void searchRequested();
  void replaceRequested();

 private:
  void updateDirectionEnabled();

  QRadioButton* targets_[3];
  QRadioButton* up_;
  QRadioButton* down_;
  QLineEdit* pattern_;
  QLineEdit* replacement_;
};

}  // namespace selvanor
