// CSelvanorView: the main window's only pane. It owns the working context, the tag set,
// the row cache of the open document and the search window, receives every command of
// the main window, checks its preconditions and hands the work to the subsystem that
// owns it. Handlers stay thin: the record edits live in the store (gridedit), the
// checks in stats, the dialogs in their own files.
#pragma once

#include <QWidget>

#include <cstddef>
#include <memory>
#include <vector>

#include "app_core/settings.h"
#include "stats/tag_manager.h"
#include "store/grid/edit_history.h"
#include "store/grid/row_cache.h"
#include "ui_base/open_document_handle.h"

class QSettings;
class QTableView;

namespace selvanor {

class AnalysisGridModel;
class ConcordanceWindow;
class ErrorLogWindow;
class ReportViewer;
class ReviewListWindow;
class SearchWindow;
class UserGuideWindow;
class UserInteraction;

namespace review {
struct Occurrence;
struct ReviewGroup;
}  // namespace review

// What the view says when the chosen document holds no records (or cannot be read).
inline constexpr char kNoRecordsMessage[] = "저장된 파일이 없습니다.";
// What the view says when an edit or a delete could not be written (the record stays).
inline constexpr char kEditNotStored[] = "분석 결과를 저장하지 못했습니다. 문헌의 기록은 그대로입니다.";
inline constexpr char kDeleteNotStored[] = "기록을 지우지 못했습니다. 문헌의 기록은 그대로입니다.";
// What undo and redo say when they cannot be written, or no longer fit the document.
inline constexpr char kUndoNotStored[] = "편집을 되돌리지 못했습니다. 문헌의 기록은 그대로입니다.";
inline constexpr char kRedoNotStored[] = "편집을 다시 실행하지 못했습니다. 문헌의 기록은 그대로입니다.";
inline constexpr char kHistoryStale[] =
    "편집한 기록이 그 뒤에 바뀌어 되돌릴 수 없습니다. 되돌리기 기록을 비웠습니다.";
// Status-bar notices when the undo history is dropped.
inline constexpr char kHistoryDroppedRewritten[] =
    "다른 작업이 문헌을 고쳐 써서 되돌리기 기록을 비웠습니다.";
inline constexpr char kHistoryDroppedClosed[] = "문헌을 닫아 되돌리기 기록을 비웠습니다.";
inline constexpr char kDocumentChangedOutside[] =
    "다른 프로그램이 문헌을 바꾸어 다시 읽었습니다. 되돌리기 기록을 비웠습니다.";
// How often the grid looks whether another program changed its document.
inline constexpr int kOutsideCheckMs = 1500;

class CSelvanorView : public QWidget {
  Q_OBJECT
 public:
  // `settings` may be null (nothing is written back then).
  CSelvanorView(UserInteraction& ui, Settings* settings, QWidget* parent = nullptr);
  ~CSelvanorView() override;

  // The first update: working context from the settings, paths handed to the dictionary
  // pages, tag set loaded (a failure is shown and start-up goes on with an empty set).
  void initialUpdate(const std::string& workingDirectory, const TagFileFolders& tagFolders = {});
  // Tests and start-up without a settings file.
  void setWorkingContext(const WorkingContext& context) { context_ = context; }
  const WorkingContext& context() const { return context_; }
  TagManager& tags() { return tags_; }
  RowCache& rowCache() { return cache_; }
  QTableView* grid() const { return grid_; }
  AnalysisGridModel* model() const { return model_; }
  SearchWindow* searchWindow() const { return search_.get(); }
  // The last review's report viewer and list window (null before any review).
  ReportViewer* reviewReport() const { return reviewReport_.get(); }
  ReviewListWindow* reviewList() const { return reviewList_.get(); }
  void setErrorLog(ErrorLogWindow* log) { errorLog_ = log; }
  // The per-user system profile the homonym selection window keeps its place in; without
  // one the user's own is opened on first use (app/system_profile.h).
  void setSystemProfile(QSettings& profile) { systemProfile_ = &profile; }
  // The concordance window (null before its first use).
  ConcordanceWindow* concordanceWindow() const { return concordance_.get(); }

  bool documentChosen() const { return documentChosen_; }
  bool gridLoaded() const { return gridLoaded_; }
  // The selected row, -1 when none.
  int currentRow() const;
  void selectRow(int row);

  // Runs a main-window command by id (command_table.h), preconditions first.
  void runCommand(int id);
  bool canRun(int id) const;

  // The document life cycle.
  void chooseDocument(const QString& path);
  void startAnalysis();
  void closeDocument();

  // Grid commands on the current row (each does nothing while the grid is not loaded).
  void editCurrentRow();
  void joinCurrentRow();
  void splitCurrentRow();
  void deleteCurrentRow();
  void addCurrentRowToErrorLog();
  void showSearch();
  void findAgain();
  void search();
  void replace();

  // Undo and redo of the grid edits (app/view_edit_history.cpp); each does nothing while
  // the grid is not loaded or there is nothing to take back.
  void undoEdit();
  void redoEdit();
  bool canUndo() const { return gridLoaded_ && history_.canUndo(); }
  bool canRedo() const { return gridLoaded_ && history_.canRedo(); }
  const EditHistory& history() const { return history_; }
  // "n / N": the current record's position and the record count; "- / N" without a
  // current row, empty while the grid is not loaded.
  QString positionText() const;

  // The concordance window "용례 검색" on `documents`; with a query, that query is run at
  // once (app/view_concordance_commands.cpp).
  void showConcordance(std::vector<std::string> documents, const QString& query = {});
  // "이 어절 용례" / "이 형태소 용례" of the grid's menu: the current record's word, or its
  // first morpheme, in the open document.
  void concordanceOfCurrentRow(bool morpheme);

  void workErrorCheck();
  // Another operation changed or replaced the open document's file: read it afresh
  // (the grid's own handle would otherwise keep showing, and writing to, the old pages).
  void reloadDocument();

  // What the editor's acceptance and the settings dialog's 확 인 do (public for tests).
  void applyEdit(int row, const AnalysisRecord& old, const AnalysisRecord& edited);
  void applySettings(const QString& homonym, const QString& unregistered, const QString& reference);

 signals:
  void titleChanged(const QString& title);
  void documentStateChanged();
  void dictionaryPathsChanged(const QString& homonym, const QString& unregistered,
                              const QString& reference);
  void documentReferenceChanged(const QString& referencePath);
  void historyChanged();
  void positionChanged(const QString& position);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  bool checkNeeds(int id);
  void openDocumentCommand();
  void settingsCommand();
  void aboutCommand();
  void userGuideCommand();
  void buildDocumentCommand();
  // Dictionary building, merging and text dumps (app/view_dictionary_commands.cpp).
  void buildHomonymDictionaryCommand();
  void mergeHomonymDictionariesCommand();
  void saveHomonymTextCommand();
  void mergeUnregisteredCommand();
  void saveUnregisteredTextCommand();
  // Corrections of the open document (app/view_correction_commands.cpp).
  void autoCorrectCommand();
  void homonymCorrectCommand(bool review);
  // Documents, reference and statistics files (app/view_corpus_commands.cpp).
  void mergeDocumentsCommand();
  void buildReferenceCommand();
  void mergeReferencesCommand();
  void saveReferenceTextCommand();
  void buildStatisticsCommand();
  // 통계 실행 and the single-document statistics of the toolbar
  // (app/view_statistics_commands.cpp).
  void runStatisticsCommand();
  void statisticsListingCommand(int type);
  // The corpus manager "분석 문헌 관리" (app/view_document_manager.cpp).
  void manageDocumentsCommand();
  // Analysis reviews and batch modification (app/view_review_commands.cpp).
  void reviewInDocumentCommand();
  void compareWithReferenceCommand();
  void showReviewResults(const QString& report, std::vector<review::ReviewGroup> groups,
                         std::size_t total);
  void showReviewOccurrence(const review::Occurrence& occurrence);
  // Selects the record in the grid, opening its document when need be; the row's band on
  // the screen, empty when it could not be shown.
  QRect showConcordanceRecord(const std::string& document, std::uint32_t record, const std::string& serial);
  void modifyDocumentsCommand();
  // The grid's document and how to let go of it (empty when the grid holds none).
  OpenDocumentHandle gridDocumentHandle();
  // One line in the main window's status bar.
  void showStatus(const QString& line);
  void afterChange(int row);
  // Undo history wiring (app/view_edit_history.cpp).
  void connectHistory();
  void stepHistory(bool undo);
  // Forgets every edit; `notice` goes to the status bar when there was any.
  void dropHistory(const char* notice);
  // The document was changed or replaced by another program: shown again, history cleared.
  void documentChangedOutside();
  void applyGridFont();
  void ensureSearchWindow();
  // Moves the search window off the row it found.
  void keepSearchWindowOffRow(int row);

  UserInteraction& ui_;
  Settings* settings_;
  WorkingContext context_;
  TagManager tags_;
  RowCache cache_;
  EditHistory history_;
  AnalysisGridModel* model_;
  QTableView* grid_;
  std::unique_ptr<SearchWindow> search_;
  std::unique_ptr<ReportViewer> reviewReport_;
  std::unique_ptr<ReviewListWindow> reviewList_;
  std::unique_ptr<UserGuideWindow> guide_;
  std::unique_ptr<ConcordanceWindow> concordance_;
  ErrorLogWindow* errorLog_ = nullptr;
  QSettings* systemProfile_ = nullptr;  // borrowed, or a child of the view made on first use
  bool documentChosen_ = false;
  bool gridLoaded_ = false;
};

}  // namespace selvanor
