// The error log window in the error bar: finished lines are appended, the user may clear
// the pane or save it to a text file. The text is CP949 in the file and is kept in the
// pane as shown.
#pragma once

#include <QWidget>

#include <string_view>

class QLabel;
class QPlainTextEdit;

namespace selvanor {

class UserInteraction;

class ErrorLogWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ErrorLogWindow(QWidget* parent = nullptr);

  // Appends one finished CP949 line (it carries its own "\r\n").
  void append(std::string_view cp949Line);
  void clear();
  // The whole text with "\r\n" line ends, as it is written to a file.
  [[nodiscard]] QString text() const;
  // 저장 하기: chooser, then the whole text written to the chosen file.
  void save(UserInteraction& ui);

  QPlainTextEdit* pane() const { return pane_; }

 signals:
  // After every append: whoever shows the pane brings it back into view.
  void appended();

 private:
  QLabel* caption_;
  QPlainTextEdit* pane_;
};

}  // namespace selvanor
