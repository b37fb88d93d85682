// "용례 검색": the concordance window. A query over the documents it was opened on (the
// grid's document, or those picked in the corpus manager) gives KWIC lines in a
// virtualised table, the counts per document ("분포") and, on demand, the collocates
// ("연어"). Double-clicking a line shows its record in the grid; the lines export to TSV
// (UTF-8) and copy to the clipboard. The queries typed are remembered per user.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QSettings;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace selvanor {

class CollocationModel;
class ConcordanceModel;
class DistributionModel;
class TagManager;
class UserInteraction;

// Lines the window keeps: the counts cover every hit, the table the first this many in
// the order chosen (the export writes the lines kept).
inline constexpr std::size_t kMaxShownHits = 200000;
// Queries remembered.
inline constexpr int kQueryHistorySize = 20;

struct ConcordanceHooks {
  // Shows the record (1-based number, with its serial to check it by) of `document` in the
  // grid, opening the document there when need be; the row's band on the screen, or an
  // empty rectangle when it could not be shown.
  std::function<QRect(const std::string& document, std::uint32_t record, const std::string& serial)> showRecord;
};

class ConcordanceWindow : public QDialog {
  Q_OBJECT
 public:
  // `tags` resolves class names in queries; `profile` keeps the query history.
  ConcordanceWindow(UserInteraction& ui, const TagManager& tags, QSettings& profile, ConcordanceHooks hooks,
                    QWidget* parent = nullptr);
  ~ConcordanceWindow() override;

  // The documents the next query runs over (native paths).
  void setDocuments(std::vector<std::string> documents);
  [[nodiscard]] const std::vector<std::string>& documents() const { return documents_; }
  void setQuery(const QString& query);
  [[nodiscard]] QString query() const;

  void runQuery();         // "찾기"
  void runCollocations();  // "연어 찾기"
  void exportLines();      // "내보내기"
  void copySelection();    // "복사", Ctrl+C
  void activate(const QModelIndex& index);  // double-click on a line
  [[nodiscard]] QStringList history() const;

  QComboBox* queryBox() const { return query_; }
  QSpinBox* contextBox() const { return context_; }
  QComboBox* sortBox() const { return sort_; }
  QSpinBox* leftSpanBox() const { return left_; }
  QSpinBox* rightSpanBox() const { return right_; }
  QComboBox* unitBox() const { return unit_; }
  QSpinBox* minimumBox() const { return minimum_; }
  QTabWidget* tabs() const { return tabs_; }
  QTableView* lines() const { return lines_; }
  QTableView* collocates() const { return collocates_; }
  QTableView* distribution() const { return distribution_; }
  ConcordanceModel* linesModel() const { return linesModel_; }
  CollocationModel* collocationModel() const { return collocationModel_; }
  DistributionModel* distributionModel() const { return distributionModel_; }
  QLabel* summary() const { return summary_; }

 private:
  QWidget* makeLinesTab();
  QWidget* makeCollocationsTab();
  void remember(const QString& query);
  // The parsed query, or nullopt with the fault shown and the cursor put on it.
  [[nodiscard]] bool readyToRun();

  UserInteraction& ui_;
  const TagManager& tags_;
  QSettings& profile_;
  ConcordanceHooks hooks_;
  std::vector<std::string> documents_;
  QComboBox* query_;
  QSpinBox* context_;
  QComboBox* sort_;
  QSpinBox* left_;
  QSpinBox* right_;
  QComboBox* unit_;
  QSpinBox* minimum_;
  QTabWidget* tabs_;
  QTableView* lines_;
  QTableView* collocates_;
  QTableView* distribution_;
  ConcordanceModel* linesModel_;
  CollocationModel* collocationModel_;
  DistributionModel* distributionModel_;
  QLabel* summary_;
  QLabel* scope_;
};

}  // namespace selvanor
