// The single-document statistics commands of the toolbar (전체통계, 실질어통계, 품사 표지
// 통계): the lines of the document list to pick from, the output file, and "통계 만들기",
// which writes one listing per picked document, one after another.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/corpus/document_list.h"
#include "ui/tag_picker_dialog.h"

class QLineEdit;
class QListWidget;

namespace selvanor {

class TagManager;
class UserInteraction;

class StatisticsListingDialog : public QDialog {
  Q_OBJECT
 public:
  using TagPrompt = std::function<std::optional<TagPick>()>;
  using ReportOpener = std::function<void(const QString& path)>;

  // `type` 1-5 (the dialog's title follows it); `tags` loaded; `listFile` the document list.
  StatisticsListingDialog(UserInteraction& ui, int type, const TagManager& tags, const std::string& listFile,
                          QWidget* parent = nullptr);

  void setTagPrompt(TagPrompt p) { pickTags_ = std::move(p); }
  void setReportOpener(ReportOpener o) { openReport_ = std::move(o); }

  // "출력파일": a save chooser; a confirmed choice replaces the output field.
  void chooseOutput();
  // "통계 만들기".
  void makeListings();

  // The dialog title of each type.
  [[nodiscard]] static QString titleOf(int type);

  QListWidget* lines() const { return lines_; }
  QLineEdit* outputField() const { return output_; }

 private:
  // The documents of the picked lines in list order; a group line stands for its documents.
  [[nodiscard]] std::vector<std::string> pickedDocuments() const;

  UserInteraction& ui_;
  int type_;
  const TagManager& tags_;
  corpus::DocumentList list_;
  std::vector<corpus::NodeRef> nodes_;  // one per line of lines_
  QListWidget* lines_;
  QLineEdit* output_;
  TagPrompt pickTags_;
  ReportOpener openReport_;
};

}  // namespace selvanor
