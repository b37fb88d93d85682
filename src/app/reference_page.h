// The reference page "분석 참조" of the dictionary bar: the records that hold a word,
// looked up in the reference file it was handed (the settings' at start-up, the open
// document's while one is loaded).
#pragma once

#include <QString>
#include <QWidget>

#include <optional>
#include <string>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace selvanor {

class UserInteraction;

class CRefPage : public QWidget {
  Q_OBJECT
 public:
  explicit CRefPage(UserInteraction& ui, QWidget* parent = nullptr);

  QString path() const { return path_; }
  QLineEdit* wordField() const { return field_; }
  QTableWidget* list() const { return list_; }

  // "검색" and Enter in the field: the records of the field's word, in stored order.
  void search();

 public slots:
  // The reference file to look in; also called again when that file was rebuilt. A word
  // already looked up is looked up afresh, quietly: the list never shows another file's
  // records, nor ones the file no longer holds.
  void setPath(const QString& path);

 private:
  void lookUp(bool quiet);

  UserInteraction& ui_;
  QString path_;
  std::optional<std::string> lastWord_;  // CP949, once a search ran
  QPushButton* searchButton_;
  QLineEdit* field_;
  QTableWidget* list_;
};

}  // namespace selvanor
