#include "app/selvanor_view.h"

#include <QCoreApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/about_dialog.h"
#include "app/user_guide_window.h"
#include "app/analysis_editor.h"
#include "app/analysis_grid.h"
#include "app/command_table.h"
#include "app/error_log_window.h"
#include "common/derived_paths.h"
#include "ui_base/grid_model.h"
#include "ui_base/operation_progress.h"
#include "ui_base/qt_text.h"
#include "app/search_window.h"
#include "ui_base/window_placement.h"
#include "app/settings_dialog.h"
#include "ui_base/user_interaction.h"
#include "stats/work_error_check.h"
#include "store/grid/grid_edits.h"
#include "lexicon/batch_modification.h"
#include "ui/build_document_dialog.h"
#include "ui/concordance_window.h"
#include "ui/review_list_window.h"
#include "ui_base/report_viewer.h"

namespace selvanor {
namespace {

const QString kNoDocument = QStringLiteral("문헌 파일을 열어 주세요 ");
const QString kNoHomonym = QStringLiteral("동음어 사전을 선택해 주세요 ");
const QString kNoRecords = QString::fromUtf8(kNoRecordsMessage);
const QString kNoSearchResult = QStringLiteral("검색 결과가 없습니다. ");
constexpr int kDeferMs = 10;  // lets a context menu close before a dialog opens

}  // namespace

CSelvanorView::CSelvanorView(UserInteraction& ui, Settings* settings, QWidget* parent)
    : QWidget(parent), ui_(ui), settings_(settings) {
  model_ = new AnalysisGridModel(cache_, this);
  grid_ = new AnalysisGrid(this);
  grid_->setObjectName(QStringLiteral("analysisGrid"));
  grid_->setModel(model_);
  grid_->setShowGrid(true);
  grid_->setSortingEnabled(false);
  grid_->setWordWrap(false);
  grid_->setContextMenuPolicy(Qt::NoContextMenu);  // the view's own menu, see contextMenuEvent
  grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setVisible(false);
  grid_->setColumnWidth(0, AnalysisGrid::kSerialWidth);
  grid_->setColumnWidth(1, AnalysisGrid::kWordWidth);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid_);
  applyGridFont();

  connect(grid_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (!gridLoaded_ || !index.isValid()) return;
    selectRow(index.row());
    QTimer::singleShot(kDeferMs, this, &CSelvanorView::editCurrentRow);
  });
  auto* again = new QShortcut(QKeySequence(QStringLiteral("Ctrl+L")), grid_);
  again->setContext(Qt::WidgetWithChildrenShortcut);
  connect(again, &QShortcut::activated, this, &CSelvanorView::findAgain);
  connectHistory();

  // Other programs may change or replace the open document between the grid's uses: the
  // grid reads it again and says so (queued, since it is noticed in the middle of a read).
  cache_.setOutsideChangeListener([this] {
    QMetaObject::invokeMethod(this, &CSelvanorView::documentChangedOutside, Qt::QueuedConnection);
  });
  auto* watch = new QTimer(this);
  watch->setInterval(kOutsideCheckMs);
  connect(watch, &QTimer::timeout, this, [this] {
    if (gridLoaded_ && cache_.isOpen() && isVisible()) (void)cache_.checkOutside();
  });
  watch->start();
}

void CSelvanorView::documentChangedOutside() {
  if (!gridLoaded_) return;
  const int row = currentRow();
  history_.clear();  // the edits it recorded were made on what is gone
  emit historyChanged();
  model_->refresh();
  if (model_->rowCount() > 0) selectRow(std::clamp(row, 0, model_->rowCount() - 1));
  showStatus(QString::fromUtf8(kDocumentChangedOutside));
  cache_.acknowledgeOutsideChange();  // shown as it is now: edits may go on
  emit documentStateChanged();
}

CSelvanorView::~CSelvanorView() { cache_.close(); }

void CSelvanorView::applyGridFont() {
  const GridFont f = settings_ ? settings_->gridFont() : GridFont{"신명조체", 16, 600};
  QFont font(QString::fromStdString(f.face));
  font.setPixelSize(f.height > 0 ? f.height : 16);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight, 1, 1000)));
  grid_->setFont(font);
  grid_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
}

void CSelvanorView::initialUpdate(const std::string& workingDirectory,
                                  const TagFileFolders& tagFolders) {
  if (settings_) context_ = loadWorkingContext(*settings_, workingDirectory, tagFolders);
  emit dictionaryPathsChanged(fromNativePath(context_.homonymDictionary),
                              fromNativePath(context_.unregisteredDictionary),
                              fromNativePath(context_.referenceFile));
  if (const TagLoadResult loaded = tags_.Load(context_.tagFile); !loaded) {
    ui_.warning(QString::fromStdString(loaded.error));
  }
}

int CSelvanorView::currentRow() const {
  const QModelIndex index = grid_->selectionModel()->currentIndex();
  if (!index.isValid() || !grid_->selectionModel()->isRowSelected(index.row(), QModelIndex())) {
    return -1;
  }
  return index.row();
}

void CSelvanorView::selectRow(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  const QModelIndex index = model_->index(row, 0);
  grid_->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid_->scrollTo(index);
}

// ---- commands ----------------------------------------------------------------------

bool CSelvanorView::canRun(int id) const {
  const CommandSpec* entry = findCommand(id);
  if (!entry || !entry->available) return false;
  if (entry->need == CommandNeed::ChosenDocument) return documentChosen_;
  if (entry->need == CommandNeed::GridLoaded) return gridLoaded_;
  return true;
}

bool CSelvanorView::checkNeeds(int id) {
  const CommandSpec* entry = findCommand(id);
  if (!entry) return false;
  switch (entry->need) {
    case CommandNeed::Document:
    case CommandNeed::DocumentAndHomonym:
      if (context_.currentDocument.empty()) {
        ui_.warning(kNoDocument);
        return false;
      }
      if (entry->need == CommandNeed::DocumentAndHomonym && context_.homonymDictionary.empty()) {
        ui_.warning(kNoHomonym);
        return false;
      }
      return true;
    case CommandNeed::Homonym:
      if (context_.homonymDictionary.empty()) ui_.warning(kNoHomonym);
      return !context_.homonymDictionary.empty();
    case CommandNeed::HomonymAndTags:
      if (context_.homonymDictionary.empty()) {
        ui_.warning(QString::fromUtf8(batch::msg::kNeedHomonymDictionary));
        return false;
      }
      if (tags_.IsLoaded()) return true;
      // Loaded again for the next use; this one stops either way.
      (void)tags_.Load(context_.tagFile);
      ui_.warning(QString::fromStdString(batch::tagFileUnreadable(context_.tagFile)));
      return false;
    // 분석 시작 and 검 색 say why they cannot run rather than doing nothing.
    case CommandNeed::ChosenDocument:
      if (!documentChosen_ && id != cmd::kCloseDocument) ui_.warning(kNoDocument);
      return documentChosen_;
    case CommandNeed::GridLoaded:
      if (!gridLoaded_) ui_.warning(kNoDocument);
      return gridLoaded_;
    default:
      return true;
  }
}

void CSelvanorView::runCommand(int id) {
  if (!checkNeeds(id)) return;
  switch (id) {
    case cmd::kBuildDocument: buildDocumentCommand(); break;
    case cmd::kOpenDocument:
    case cmd::kManageDocuments: manageDocumentsCommand(); break;
    case cmd::kModifyDocuments: modifyDocumentsCommand(); break;
    case cmd::kReviewInDocument: reviewInDocumentCommand(); break;
    case cmd::kCompareWithReference: compareWithReferenceCommand(); break;
    case cmd::kCloseDocument: closeDocument(); break;
    case cmd::kStartAnalysis: startAnalysis(); break;
    case cmd::kSearch: showSearch(); break;
    case cmd::kWorkErrorCheck: workErrorCheck(); break;
    case cmd::kClearErrorLog:
      if (errorLog_) errorLog_->clear();
      break;
    case cmd::kSaveErrorLog:
      if (errorLog_) errorLog_->save(ui_);
      break;
    case cmd::kSettings: settingsCommand(); break;
    case cmd::kAbout: aboutCommand(); break;
    case cmd::kUserGuide: userGuideCommand(); break;
    case cmd::kBuildHomonymDictionary: buildHomonymDictionaryCommand(); break;
    case cmd::kMergeHomonymDictionaries: mergeHomonymDictionariesCommand(); break;
    case cmd::kSaveHomonymText: saveHomonymTextCommand(); break;
    case cmd::kMergeUnregistered: mergeUnregisteredCommand(); break;
    case cmd::kSaveUnregisteredText: saveUnregisteredTextCommand(); break;
    case cmd::kAutoCorrect: autoCorrectCommand(); break;
    case cmd::kHomonymCorrect: homonymCorrectCommand(false); break;
    case cmd::kHomonymReview: homonymCorrectCommand(true); break;
    case cmd::kMergeDocuments: mergeDocumentsCommand(); break;
    case cmd::kBuildReference: buildReferenceCommand(); break;
    case cmd::kMergeReferences: mergeReferencesCommand(); break;
    case cmd::kSaveReferenceText: saveReferenceTextCommand(); break;
    case cmd::kBuildStatistics: buildStatisticsCommand(); break;
    case cmd::kRunStatistics: runStatisticsCommand(); break;
    case cmd::kStatsVocabulary: statisticsListingCommand(1); break;
    case cmd::kStatsVocabularyTags: statisticsListingCommand(2); break;
    case cmd::kStatsContentVocabulary: statisticsListingCommand(3); break;
    case cmd::kStatsContentVocabularyTags: statisticsListingCommand(4); break;
    case cmd::kStatsTags: statisticsListingCommand(5); break;
    default: break;
  }
}

void CSelvanorView::openDocumentCommand() {
  const QString initial = settings_ ? fromNativePath(settings_->documentFolder()) + QStringLiteral("*.id")
                                    : QStringLiteral("*.id");
  const QString path = ui_.chooseOpenFile(QStringLiteral("DATABASE Files (*.id)|*.id||"), initial);
  if (!path.isEmpty()) chooseDocument(path);
  startAnalysis();  // with a cancelled choice this reloads the document already chosen
}

void CSelvanorView::chooseDocument(const QString& path) {
  if (cache_.isOpen()) cache_.close();
  if (nativePath(path) != context_.currentDocument) dropHistory(kHistoryDroppedClosed);
  context_.currentDocument = nativePath(path);
  documentChosen_ = true;
  emit titleChanged(QStringLiteral("Selvanor - ") + path);
  emit documentStateChanged();
}

void CSelvanorView::startAnalysis() {
  if (!documentChosen_) return;
  const int count = cache_.open(context_.currentDocument);
  if (count <= 0) ui_.warning(kNoRecords);
  context_.currentReference = derived::referenceFile(context_.currentDocument);
  context_.currentStatistics = derived::statisticsFile(context_.currentDocument);
  emit documentReferenceChanged(fromNativePath(context_.currentReference));
  gridLoaded_ = true;
  model_->setLoaded(true);
  if (count > 0) selectRow(0);
  emit documentStateChanged();
}

void CSelvanorView::closeDocument() {
  dropHistory(kHistoryDroppedClosed);
  // Nothing may act on a closed document: its path goes with it.
  context_.currentDocument.clear();
  documentChosen_ = false;
  gridLoaded_ = false;
  model_->setLoaded(false);
  context_.currentReference.clear();
  context_.currentStatistics.clear();
  emit documentReferenceChanged(QString());
  emit titleChanged(QStringLiteral(" Selvanor "));
  cache_.close();
  emit documentStateChanged();
}

void CSelvanorView::buildDocumentCommand() {
  BuildDocumentDialog dialog(ui_, context_.currentDocument, this);
  dialog.exec();
}

void CSelvanorView::settingsCommand() {
  SettingsDialog dialog(ui_, fromNativePath(context_.homonymDictionary),
                        fromNativePath(context_.unregisteredDictionary),
                        fromNativePath(context_.referenceFile), this);
  if (dialog.exec() != QDialog::Accepted) return;
  applySettings(dialog.homonymPath(), dialog.unregisteredPath(), dialog.referencePath());
}

void CSelvanorView::applySettings(const QString& homonym, const QString& unregistered,
                                  const QString& reference) {
  context_.homonymDictionary = nativePath(homonym);
  context_.unregisteredDictionary = nativePath(unregistered);
  context_.referenceFile = nativePath(reference);
  emit dictionaryPathsChanged(homonym, unregistered, reference);
  if (settings_ && !settings_->writeDictionaryPaths(context_.unregisteredDictionary,
                                                    context_.homonymDictionary,
                                                    context_.referenceFile)) {
    ui_.warning(QStringLiteral("설정 파일에 저장할 수 없습니다. [%1]")
                    .arg(fromNativePath(settings_->file())));
  }
}

void CSelvanorView::aboutCommand() {
  AboutDialog dialog(this);
  dialog.exec();
}

void CSelvanorView::userGuideCommand() {
  if (!guide_) {
    const QString index = userGuideIndex(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    if (index.isEmpty()) {
      ui_.warning(QStringLiteral("사용 설명서를 찾을 수 없습니다. 프로그램을 다시 설치해 주십시오."));
      return;
    }
    guide_ = std::make_unique<UserGuideWindow>(index, this);
  }
  guide_->show();
  guide_->raise();
  guide_->activateWindow();
}

void CSelvanorView::reloadDocument() {
  dropHistory(kHistoryDroppedRewritten);
  if (!gridLoaded_) return;
  const int row = currentRow();
  cache_.close();
  if (cache_.open(context_.currentDocument) <= 0) ui_.warning(kNoRecords);
  model_->refresh();
  selectRow(std::max(row, 0));
}

// ---- grid commands -----------------------------------------------------------------

void CSelvanorView::afterChange(int row) {
  model_->refresh();
  selectRow(std::min(row, model_->rowCount() - 1));
}

void CSelvanorView::contextMenuEvent(QContextMenuEvent* event) {
  if (!gridLoaded_) return;
  const QPoint inGrid = grid_->viewport()->mapFrom(this, event->pos());
  const QModelIndex index = grid_->indexAt(inGrid);
  if (index.isValid()) selectRow(index.row());
  QMenu menu(this);
  menu.addAction(QStringLiteral("편 집"), this, [this] {
    QTimer::singleShot(kDeferMs, this, &CSelvanorView::editCurrentRow);
  });
  menu.addAction(QStringLiteral("합치기"), this, &CSelvanorView::joinCurrentRow);
  menu.addAction(QStringLiteral("나누기"), this, &CSelvanorView::splitCurrentRow);
  menu.addAction(QStringLiteral("지우기"), this, &CSelvanorView::deleteCurrentRow);
  menu.addAction(QStringLiteral("오류창에 추가"), this, &CSelvanorView::addCurrentRowToErrorLog);
  menu.addAction(QStringLiteral("검 색"), this, [this] {
    QTimer::singleShot(kDeferMs, this, &CSelvanorView::showSearch);
  });
  menu.addSeparator();
  menu.addAction(QStringLiteral("이 어절 용례"), this, [this] { concordanceOfCurrentRow(false); });
  menu.addAction(QStringLiteral("이 형태소 용례"), this, [this] { concordanceOfCurrentRow(true); });
  menu.exec(event->globalPos());
}

void CSelvanorView::editCurrentRow() {
  const int row = currentRow();
  if (!gridLoaded_ || row < 0) return;
  const AnalysisRecord* current = cache_.record(row);
  if (!current) return;
  const AnalysisRecord old = *current;
  AnalysisEditor editor(old, &tags_, ui_, this);
  if (editor.exec() != QDialog::Accepted) return;
  applyEdit(row, old, editor.result());
}

void CSelvanorView::applyEdit(int row, const AnalysisRecord& old, const AnalysisRecord& edited) {
  if (edited.serial != old.serial && cache_.holdsSerial(edited.serial)) {
    ui_.warning(QStringLiteral("중복된 일련 번호가 있습니다."));
    return;
  }
  // A refused or failed rewrite leaves the old record in place; the user must know the
  // edit was not stored.
  if (!gridedit::rewrite(cache_, row, old, edited)) ui_.warning(kEditNotStored);
  afterChange(row);
}

void CSelvanorView::joinCurrentRow() {
  const int row = currentRow();
  if (gridLoaded_ && row >= 0 && gridedit::join(cache_, row)) afterChange(row);
}

void CSelvanorView::splitCurrentRow() {
  const int row = currentRow();
  if (gridLoaded_ && row >= 0 && gridedit::split(cache_, row)) afterChange(row);
}

void CSelvanorView::deleteCurrentRow() {
  const int row = currentRow();
  if (!gridLoaded_ || row < 0) return;
  const AnalysisRecord* r = cache_.record(row);
  if (!r) return;
  if (!ui_.askYesNo(QStringLiteral("일련번호 \"%1\" 를 삭제 하시겠습니까 ?").arg(fromCp949(r->serial)))) {
    return;
  }
  if (!gridedit::removeRow(cache_, row)) ui_.warning(kDeleteNotStored);
  afterChange(row);
}

void CSelvanorView::addCurrentRowToErrorLog() {
  const int row = currentRow();
  if (!gridLoaded_ || row < 0 || !errorLog_) return;
  if (const AnalysisRecord* r = cache_.record(row)) errorLog_->append(errorLogLine(*r));
}

// ---- search ------------------------------------------------------------------------

void CSelvanorView::ensureSearchWindow() {
  if (search_) return;
  search_ = std::make_unique<SearchWindow>(this);
  connect(search_.get(), &SearchWindow::searchRequested, this, &CSelvanorView::search);
  connect(search_.get(), &SearchWindow::replaceRequested, this, &CSelvanorView::replace);
}

void CSelvanorView::showSearch() {
  if (!gridLoaded_) return;
  ensureSearchWindow();
  search_->show();
  if (currentRow() >= 0) keepSearchWindowOffRow(currentRow());
  search_->raise();
  search_->activateWindow();
  search_->patternField()->setFocus();
  search_->patternField()->selectAll();
}

void CSelvanorView::findAgain() {
  if (!gridLoaded_) return;
  if (search_) search();
  else showSearch();
}

void CSelvanorView::search() {
  if (!gridLoaded_ || !search_ || search_->pattern().isEmpty()) return;
  const auto pattern = toCp949(search_->pattern(), ui_);
  if (!pattern) return;
  const auto direction = static_cast<SearchDirection>(search_->direction());
  const int row = currentRow();
  const int start = direction == SearchDirection::Up ? std::max(row - 1, 0) : row + 1;
  const auto found = cache_.find(static_cast<GridColumn>(search_->target()), *pattern, start, direction);
  if (found.status == RowCache::FindStatus::NoRecords) {
    ui_.warning(kNoRecords);
    return;
  }
  if (found.status != RowCache::FindStatus::Found) {
    ui_.message(kNoSearchResult);
    return;
  }
  selectRow(found.row);
  keepSearchWindowOffRow(found.row);
  grid_->setFocus();
}

void CSelvanorView::keepSearchWindowOffRow(int row) {
  if (!search_ || !search_->isVisible()) return;
  const QRect cell = grid_->visualRect(model_->index(row, 0));
  const QRect band(grid_->viewport()->mapToGlobal(QPoint(0, cell.top())),
                   QSize(grid_->viewport()->width(), cell.height()));
  const QRect screen = search_->screen() ? search_->screen()->availableGeometry() : QRect();
  search_->move(placeBeside(search_->frameGeometry(), band, screen));
}

void CSelvanorView::replace() {
  if (!gridLoaded_ || !search_) return;
  if (search_->pattern().isEmpty() || search_->replacement().isEmpty()) return;
  if (search_->target() == static_cast<int>(GridColumn::Serial)) {
    ui_.warning(QStringLiteral("일련 번호는 수정을 지원하지 않습니다."));
    return;
  }
  const auto pattern = toCp949(search_->pattern(), ui_);
  if (!pattern) return;
  const auto replacement = toCp949(search_->replacement(), ui_);
  if (!replacement) return;
  const int row = currentRow();
  if (row >= 0 &&
      gridedit::replace(cache_, row, static_cast<GridColumn>(search_->target()), *pattern,
                        *replacement) == gridedit::ReplaceOutcome::Replaced) {
    afterChange(row);
  }
  search();
}

// ---- work-error check ---------------------------------------------------------------

void CSelvanorView::workErrorCheck() {
  WorkErrorListener listener;
  listener.message = [this](std::string_view m) { ui_.warning(QString::fromUtf8(m.data(), static_cast<int>(m.size()))); };
  listener.failing = [this](const AnalysisRecord& r) {
    if (!errorLog_) {
      ui_.warning(QStringLiteral("Frame null"));
      return false;
    }
    errorLog_->append(errorLogLine(r));
    return true;
  };
  ResultCode rc = result::kOk;
  {
    // Read only: 취소 stops the walk with the lines found so far in the error log.
    OperationProgress progress(this, QStringLiteral("작업 오류 수정"), true);
    rc = runWorkErrorCheck(context_.currentDocument, tags_, listener, progress.callback());
    progress.finish();
  }
  if (rc == result::kCancelled) {
    ui_.message(QString::fromUtf8(kCancelledMessage));
    return;
  }
  if (rc != result::kOk) {
    ui_.warning(QString::fromUtf8(workcheck::msg::kCannotOpen) + QStringLiteral(" [") +
                fromNativePath(context_.currentDocument) + QStringLiteral("]"));
  }
  ui_.message(QString::fromUtf8(workcheck::msg::kDone));
}

}  // namespace selvanor
