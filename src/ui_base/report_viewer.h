// A window that shows a CP949 text report (usage examples, statistics), with a button that
// opens the file in the desktop's own program.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace selvanor {

class UserInteraction;

class ReportViewer : public QDialog {
  Q_OBJECT
 public:
  ReportViewer(UserInteraction& ui, QWidget* parent = nullptr);

  // Reads and shows the file (CP949, or UTF-8 when `utf8`); false (after telling the
  // user) when it cannot be read.
  bool open(const QString& path, bool utf8 = false);
  QString path() const { return path_; }
  QPlainTextEdit* text() const { return text_; }

  // Opens the report in the desktop's default program for text files.
  void openExternally();

 private:
  UserInteraction& ui_;
  QString path_;
  QPlainTextEdit* text_;
};

}  // namespace selvanor
