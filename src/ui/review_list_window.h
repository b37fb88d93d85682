// The review list window: what a review reported, one group per word with its occurrences
// under it, so that a linguist can walk thousands of inconsistencies instead of paging
// through the report file. Double-clicking an occurrence shows its record in the analysis
// grid; "모두 이 분석으로" gives every listed occurrence of a word the analysis of the
// selected occurrence, in one step.
#pragma once

#include <QDialog>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "lexicon/consistent_analysis.h"
#include "lexicon/review_report.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace selvanor {

class DocumentCursor;
class ReviewListModel;
class UserInteraction;

// Groups kept for the window; a review of a whole corpus reports more than a window should
// hold (the report file has them all).
inline constexpr std::size_t kMaxListedGroups = 100000;

// What the window asks of the analysis grid.
struct ReviewGridHooks {
  // Shows the occurrence's record in the grid, opening its document there if need be.
  std::function<void(const review::Occurrence&)> showOccurrence;
  // The grid's own cursor when the grid holds `document` open, else nullptr: a change
  // through a second handle would leave the grid showing, and writing, stale pages.
  std::function<DocumentCursor*(const std::string& document)> gridCursor;
  // The grid's document was changed through its cursor: recount and repaint.
  std::function<void()> gridChanged;
};

class ReviewListWindow : public QDialog {
  Q_OBJECT
 public:
  ReviewListWindow(UserInteraction& ui, ReviewGridHooks hooks, QWidget* parent = nullptr);
  ~ReviewListWindow() override;

  // `total`: groups the review reported (more than `groups` when the list was cut).
  void setResults(const QString& reportPath, std::vector<review::ReviewGroup> groups,
                  std::size_t total);

  // Double click: an occurrence row is shown in the grid.
  void activate(const QModelIndex& index);
  // "모두 이 분석으로" on the current occurrence: question, change, message.
  void applyToGroup();

  QTreeView* tree() const { return tree_; }
  ReviewListModel* model() const { return model_; }
  QPushButton* applyButton() const { return apply_; }
  QLabel* summary() const { return summary_; }

 private:
  review::ApplyOutcome applyInDocument(const review::DocumentSerials& document,
                                       const std::string& analysis, bool& gridTouched);
  void updateButtons();

  UserInteraction& ui_;
  ReviewGridHooks hooks_;
  ReviewListModel* model_;
  QTreeView* tree_;
  QLabel* summary_;
  QPushButton* apply_;
};

}  // namespace selvanor
