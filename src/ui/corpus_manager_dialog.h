// "분석 문헌 관리": the corpus manager. Keeps the user's analysis documents in groups,
// shows whether each one's reference and statistics files exist, runs the batch jobs over
// the selection and hands one chosen document to the grid. The groups, documents,
// selection and statuses live in a corpus::DocumentList; this dialog turns clicks into
// calls on it and results into the messages the store names.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

#include "store/corpus/document_list.h"
#include "ui/example_options_dialog.h"
#include "common/progress.h"

class QComboBox;
class QMenu;
class QTreeView;
class QVBoxLayout;

namespace selvanor {

class CorpusTreeModel;
class UserInteraction;

class CorpusManagerDialog : public QDialog {
  Q_OBJECT
 public:
  // `listFile`: the document list file, loaded now (failures are shown). `documentFolder`:
  // where "파일 추가" starts. `openDocument`: the document the grid holds open (empty when
  // none); no job writes over it.
  CorpusManagerDialog(UserInteraction& ui, std::string listFile, std::string documentFolder,
                      std::string openDocument, QWidget* parent = nullptr);
  ~CorpusManagerDialog() override;

  // The sub-dialogs and the report window; the defaults show GroupNameDialog,
  // ExampleOptionsDialog and ReportViewer, tests replace them.
  using GroupNamePrompt = std::function<std::optional<std::string>()>;  // CP949
  using ExampleOptionsPrompt = std::function<std::optional<ExampleOptions>()>;
  using ReportOpener = std::function<void(const QString& path)>;
  // Runs "분석 문헌 가져오기" and gives back the documents it made.
  using ImportRunner = std::function<std::vector<std::string>()>;
  void setGroupNamePrompt(GroupNamePrompt p) { askGroupName_ = std::move(p); }
  void setExampleOptionsPrompt(ExampleOptionsPrompt p) { askExampleOptions_ = std::move(p); }
  void setReportOpener(ReportOpener o) { openReport_ = std::move(o); }
  void setImportRunner(ImportRunner r) { runImport_ = std::move(r); }

  // Buttons, context menu and keys.
  void addFiles();          // "파일 추가"
  void cleanUp();           // "목록 정리"
  void buildReferences();   // "참조 파일 생성"
  void buildStatistics();   // "통계 파일 생성"
  void saveTexts();         // "텍스트 저장", in the format chosen beside it
  void importDocuments();   // "분석 문헌 가져오기"; what it made joins the selected group
  void searchExamples();    // "사용 예 검색"
  void openConcordance();   // "용례 검색": closes the dialog to search the selected documents
  void createGroup();       // "폴더 생성"
  void removeSelected();    // "삭제", Delete key
  void acceptList();        // "확 인"
  void openOnDoubleClick(); // double-click on a document

  // The document "확 인" or a double-click chose (nullopt when none).
  const std::optional<std::string>& chosenDocument() const { return chosen_; }
  // The documents "용례 검색" closed the dialog to search (empty otherwise).
  const std::vector<std::string>& concordanceDocuments() const { return concordanceDocuments_; }

  const corpus::DocumentList& list() const { return list_; }
  QTreeView* tree() const { return tree_; }
  // The format "텍스트 저장" writes: CP949 text, UTF-8 text, CoNLL-U or TSV.
  QComboBox* textFormatBox() const { return textFormat_; }
  CorpusTreeModel* model() const { return model_; }
  // The tree's context menu ("폴더 생성", "삭제"); the caller owns it.
  [[nodiscard]] QMenu* makeContextMenu();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The constructor's parts, in the order it builds them.
  void buildTree();
  [[nodiscard]] QVBoxLayout* buildButtonColumn();
  void connectTree();
  void installDefaultPrompts();
  void load();
  // Saves the list; false when the dialog must stay open.
  bool saveList();
  void finish();
  // The tree's selection and expansion into the list, and back after the list changed.
  void takeViewState();
  void showListState();
  void changeNodes(const std::function<void()>& change);
  void runBuildJob(const char* question, const char* closing,
                   const std::function<ResultCode(const std::string&, const ProgressFn&)>& build);
  [[nodiscard]] bool isGuarded(const std::string& path) const;
  void showRefusedPaths(const corpus::AddReport& report);
  // Paths of the selected document nodes, in display order.
  [[nodiscard]] std::vector<std::string> selectedDocumentPaths() const;

  UserInteraction& ui_;
  std::string listFile_;
  std::string documentFolder_;
  std::string openDocument_;
  corpus::DocumentList list_;
  bool loadFailed_ = false;
  std::optional<std::string> chosen_;
  std::vector<std::string> concordanceDocuments_;
  CorpusTreeModel* model_;
  QTreeView* tree_;
  QComboBox* textFormat_ = nullptr;
  bool showingState_ = false;
  GroupNamePrompt askGroupName_;
  ExampleOptionsPrompt askExampleOptions_;
  ReportOpener openReport_;
  ImportRunner runImport_;
};

}  // namespace selvanor
