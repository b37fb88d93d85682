// "분석 문헌 관리" with "계 속": the first step of 통계 실행. The corpus tree (groups and
// their documents with their file marks) from which the user selects what to count.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "stats/statistics_request.h"
#include "store/corpus/document_list.h"

class QTreeView;

namespace selvanor {

class CorpusTreeModel;
class UserInteraction;

class StatisticsSelectionDialog : public QDialog {
  Q_OBJECT
 public:
  // Loads `listFile` (created when missing); a list that can be neither read nor created
  // is said so and the tree stays empty.
  StatisticsSelectionDialog(UserInteraction& ui, const std::string& listFile, QWidget* parent = nullptr);
  ~StatisticsSelectionDialog() override;

  // "계 속": with something selected, the entries are taken and the dialog accepted.
  void proceed();
  [[nodiscard]] const std::vector<stats::RunEntry>& entries() const { return entries_; }

  QTreeView* tree() const { return tree_; }
  CorpusTreeModel* model() const { return model_; }

 private:
  [[nodiscard]] std::vector<corpus::NodeRef> selectedNodes() const;

  UserInteraction& ui_;
  corpus::DocumentList list_;
  CorpusTreeModel* model_;
  QTreeView* tree_;
  std::vector<stats::RunEntry> entries_;
};

}  // namespace selvanor
