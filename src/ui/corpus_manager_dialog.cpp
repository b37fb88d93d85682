#include "ui/corpus_manager_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

#include "lexicon/batch_modification.h"
#include "ui_base/qt_text.h"
#include "ui_base/report_viewer.h"
#include "ui_base/user_interaction.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/corpus/corpus_jobs.h"
#include "store/reference/reference_file.h"
#include "ui/corpus_tree_model.h"
#include "ui/group_name_dialog.h"
#include "ui/import_document_dialog.h"

namespace selvanor {
namespace {

const QString kFileInUse = QString::fromUtf8(corpus::msg::kOutputInUse);
const QString kReplaceUnreadList =
    QStringLiteral("목록 파일을 읽지 못했습니다. 지금 보이는 목록으로 바꾸어 저장할까요 ?");
const QString kCloseWithoutSaving = QStringLiteral("목록을 저장하지 않고 닫을까요 ?");

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

// Progress over the documents of a batch job, shown once the job takes a while. The user
// may stop it between two documents, or inside a build that renames its file at the end:
// each document's work is whole or not done at all.
class JobProgress {
 public:
  static constexpr int kPart = 100;  // bar steps per document

  JobProgress(QWidget* parent, std::size_t documents)
      : dialog_(QString(), QStringLiteral("취소"), 0, static_cast<int>(documents) * kPart, parent) {
    dialog_.setWindowTitle(QStringLiteral("분석 문헌 관리"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
  }
  // Before the next document; false once the user has cancelled.
  [[nodiscard]] bool next(const std::string& document) {
    if (dialog_.wasCanceled()) return false;
    dialog_.setLabelText(QString::fromStdString(document));
    dialog_.setValue(done_++ * kPart);
    sinceEvents_.start();
    return !dialog_.wasCanceled();
  }
  // Inside the current document's work: moves the bar within its part and keeps the window
  // painting (at most every 50 ms); false once the user has cancelled.
  [[nodiscard]] ProgressFn within() {
    return [this](std::uint64_t done, std::uint64_t total) {
      if (sinceEvents_.isValid() && sinceEvents_.elapsed() < 50) return !dialog_.wasCanceled();
      sinceEvents_.restart();
      const std::uint64_t part = total == 0 ? 0 : std::min(done, total) * (kPart - 1) / total;
      dialog_.setValue((done_ - 1) * kPart + static_cast<int>(part));
      QCoreApplication::processEvents();
      return !dialog_.wasCanceled();
    };
  }
  // Before the closing message: hidden for good (the dialog's own show-later timer would
  // otherwise bring it up, stuck at its last value, over the message).
  void finish() {
    dialog_.reset();
    dialog_.hide();
  }

 private:
  QProgressDialog dialog_;
  QElapsedTimer sinceEvents_;
  int done_ = 0;
};

}  // namespace

CorpusManagerDialog::CorpusManagerDialog(UserInteraction& ui, std::string listFile,
                                         std::string documentFolder, std::string openDocument,
                                         QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      listFile_(std::move(listFile)),
      documentFolder_(std::move(documentFolder)),
      openDocument_(std::move(openDocument)) {
  setWindowTitle(QStringLiteral("분석 문헌 관리"));
  model_ = new CorpusTreeModel(list_, this);
  buildTree();
  // The tree comes before the buttons, so it is first in the tab order too.
  QVBoxLayout* column = buildButtonColumn();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(column);

  connectTree();
  installDefaultPrompts();
  load();
  // Wide enough for whole document paths where the screen allows it.
  const QRect screen = parent ? parent->screen()->availableGeometry() : QRect(0, 0, 1024, 700);
  resize(std::min(960, screen.width() * 9 / 10), std::min(560, screen.height() * 9 / 10));
}

void CorpusManagerDialog::buildTree() {
  tree_ = new QTreeView(this);
  tree_->setObjectName(QStringLiteral("corpusTree"));
  tree_->setModel(model_);
  tree_->setHeaderHidden(true);
  tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree_->setExpandsOnDoubleClick(false);  // a double-click opens a document, nothing else
  tree_->setContextMenuPolicy(Qt::CustomContextMenu);
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree_->header()->setStretchLastSection(false);
  tree_->setMinimumSize(520, 360);
  tree_->installEventFilter(this);
}

QVBoxLayout* CorpusManagerDialog::buildButtonColumn() {
  struct Button {
    const char* caption;
    void (CorpusManagerDialog::*action)();
  };
  const Button buttons[] = {
      {"파일 추가", &CorpusManagerDialog::addFiles},
      {"목록 정리", &CorpusManagerDialog::cleanUp},
      {"참조 파일 생성", &CorpusManagerDialog::buildReferences},
      {"통계 파일 생성", &CorpusManagerDialog::buildStatistics},
      {"텍스트 저장", &CorpusManagerDialog::saveTexts},
      {"사용 예 검색", &CorpusManagerDialog::searchExamples},
      {"용례 검색", &CorpusManagerDialog::openConcordance},
      {"분석 문헌 가져오기", &CorpusManagerDialog::importDocuments},
      {"확 인", &CorpusManagerDialog::acceptList},
  };
  auto* column = new QVBoxLayout;
  for (const Button& b : buttons) {
    auto* button = new QPushButton(QString::fromUtf8(b.caption), this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, b.action);
    column->addWidget(button);
    if (b.action == &CorpusManagerDialog::saveTexts) {
      // The format of "텍스트 저장", right under it.
      using interchange::DocumentFormat;
      textFormat_ = new QComboBox(this);
      textFormat_->setObjectName(QStringLiteral("textFormat"));
      textFormat_->addItem(QStringLiteral("CP949 텍스트 (.txt)"), static_cast<int>(DocumentFormat::Text));
      textFormat_->addItem(QStringLiteral("UTF-8 텍스트 (.txt)"), static_cast<int>(DocumentFormat::TextUtf8));
      textFormat_->addItem(QStringLiteral("CoNLL-U (.conllu)"), static_cast<int>(DocumentFormat::Conllu));
      textFormat_->addItem(QStringLiteral("TSV (.tsv)"), static_cast<int>(DocumentFormat::Tsv));
      column->addWidget(textFormat_);
    }
  }
  auto* cancel = new QPushButton(QStringLiteral("취 소"), this);
  cancel->setAutoDefault(false);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  column->addWidget(cancel);
  column->addStretch();
  return column;
}

void CorpusManagerDialog::connectTree() {
  connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { takeViewState(); });
  connect(tree_, &QTreeView::expanded, this, [this] { takeViewState(); });
  connect(tree_, &QTreeView::collapsed, this, [this] { takeViewState(); });
  connect(tree_, &QTreeView::doubleClicked, this, [this] { openOnDoubleClick(); });
  connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    std::unique_ptr<QMenu> menu(makeContextMenu());
    menu->exec(tree_->viewport()->mapToGlobal(at));
  });
}

void CorpusManagerDialog::installDefaultPrompts() {
  askGroupName_ = [this]() -> std::optional<std::string> {
    GroupNameDialog prompt(ui_, this);
    if (prompt.exec() != QDialog::Accepted) return std::nullopt;
    return prompt.name();
  };
  askExampleOptions_ = [this]() -> std::optional<ExampleOptions> {
    ExampleOptionsDialog prompt(ui_, this);
    if (prompt.exec() != QDialog::Accepted) return std::nullopt;
    return prompt.options();
  };
  // The report is the manager's own window, beside it and not modal: the manager stays
  // usable while the report is read, and the report goes when the manager closes.
  openReport_ = [this](const QString& path) {
    auto* viewer = new ReportViewer(ui_, this);
    viewer->setObjectName(QStringLiteral("exampleReport"));
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    if (!viewer->open(path)) {
      delete viewer;
      return;
    }
    viewer->setWindowModality(Qt::NonModal);
    viewer->show();
    viewer->raise();
  };
  runImport_ = [this] {
    ImportDocumentDialog dialog(ui_, openDocument_, this);
    dialog.exec();
    return dialog.imported();
  };
}

CorpusManagerDialog::~CorpusManagerDialog() = default;

void CorpusManagerDialog::load() {
  changeNodes([this] {
    loadFailed_ = !list_.load(listFile_);
    list_.expandAll();
  });
  if (loadFailed_) {
    ui_.message(text(corpus::loadFailedMessage(listFile_, list_.loadReport())));
    return;
  }
  const corpus::LoadReport& report = list_.loadReport();
  for (const std::string& notice : corpus::loadNotices(report)) ui_.message(QString::fromStdString(notice));
}

// ---- tree state ----------------------------------------------------------------------

void CorpusManagerDialog::takeViewState() {
  if (showingState_) return;
  list_.clearSelection();
  for (const QModelIndex& index : tree_->selectionModel()->selectedIndexes()) {
    list_.select(CorpusTreeModel::nodeAt(index));
  }
  for (std::size_t g = 0; g < list_.groups().size(); ++g) {
    list_.setExpanded(g, tree_->isExpanded(model_->indexOf({g, std::nullopt})));
  }
}

void CorpusManagerDialog::showListState() {
  showingState_ = true;
  QItemSelection selection;
  for (std::size_t g = 0; g < list_.groups().size(); ++g) {
    const corpus::ListGroup& group = list_.group(g);
    const QModelIndex groupIndex = model_->indexOf({g, std::nullopt});
    tree_->setExpanded(groupIndex, group.expanded);
    if (group.selected) selection.select(groupIndex, groupIndex);
    for (std::size_t d = 0; d < group.documents.size(); ++d) {
      if (!group.documents[d].selected) continue;
      const QModelIndex index = model_->indexOf({g, d});
      selection.select(index, index);
    }
  }
  tree_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  showingState_ = false;
}

void CorpusManagerDialog::changeNodes(const std::function<void()>& change) {
  showingState_ = true;
  model_->update(change);
  showingState_ = false;
  showListState();
}

QMenu* CorpusManagerDialog::makeContextMenu() {
  auto* menu = new QMenu(this);
  menu->addAction(QStringLiteral("폴더 생성"), this, &CorpusManagerDialog::createGroup);
  menu->addAction(QStringLiteral("삭제"), this, &CorpusManagerDialog::removeSelected);
  return menu;
}

bool CorpusManagerDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tree_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    removeSelected();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// ---- list editing ----------------------------------------------------------------------

void CorpusManagerDialog::addFiles() {
  takeViewState();
  const std::optional<std::size_t> group = list_.targetGroup();
  if (!group) {
    ui_.message(QString::fromUtf8(corpus::msg::kNoGroupSelected));
    return;
  }
  QString folder = fromNativePath(documentFolder_);
  if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  const QStringList files =
      ui_.chooseOpenFiles(QStringLiteral("분헌 파일 (*.id)|*.id||"), folder + QStringLiteral("*.id"));
  if (files.isEmpty()) return;
  std::vector<std::string> paths;
  for (const QString& f : files) paths.push_back(nativePath(f));
  corpus::AddReport report;
  changeNodes([&] { report = list_.addDocuments(*group, paths); });
  showRefusedPaths(report);
}

void CorpusManagerDialog::createGroup() {
  const std::optional<std::string> name = askGroupName_();
  if (!name || name->empty()) return;
  takeViewState();
  changeNodes([&] { list_.addGroup(*name); });
}

void CorpusManagerDialog::removeSelected() {
  takeViewState();
  changeNodes([this] { list_.removeSelected(); });
}

void CorpusManagerDialog::cleanUp() {
  takeViewState();
  if (!ui_.askYesNo(QString::fromUtf8(corpus::msg::kCleanUpQuestion))) return;
  if (list_.empty()) return;
  changeNodes([this] { (void)list_.cleanUp(); });
  ui_.message(QString::fromUtf8(corpus::msg::kCleanUpDone));
}

// ---- batch jobs -----------------------------------------------------------------------

bool CorpusManagerDialog::isGuarded(const std::string& path) const {
  return corpus::isGuardedPath(list_, openDocument_, path);
}

void CorpusManagerDialog::runBuildJob(
    const char* question, const char* closing,
    const std::function<ResultCode(const std::string&, const ProgressFn&)>& build) {
  takeViewState();
  if (list_.selectedNodes().empty()) return;
  if (!ui_.askYesNo(QString::fromUtf8(question))) return;
  JobProgress progress(this, list_.jobDocuments().size());
  // After a cancel the remaining documents come back as not processed, and are named so.
  const std::vector<corpus::JobFailure> failures =
      list_.runBuildJob([&](const std::string& document) {
        return progress.next(document) ? build(document, progress.within())
                                       : result::kNothingToRead;
      });
  progress.finish();
  model_->statusesChanged();
  ui_.message(text(corpus::jobOutcomeMessage(closing, failures)));
}

void CorpusManagerDialog::buildReferences() {
  DBWrap db;
  runBuildJob(corpus::msg::kReferenceQuestion, corpus::msg::kReferenceDone,
              [&db](const std::string& document, const ProgressFn& progress) {
                return db.makeWonmunDB(document, progress);
              });
}

void CorpusManagerDialog::buildStatistics() {
  DBWrap db;
  runBuildJob(corpus::msg::kStatisticsQuestion, corpus::msg::kStatisticsDone,
              [&db](const std::string& document, const ProgressFn& progress) {
                return db.makeTongDB(document, progress);
              });
}

void CorpusManagerDialog::saveTexts() {
  takeViewState();
  if (list_.selectedNodes().empty()) return;
  const std::vector<std::string> documents = selectedDocumentPaths();
  JobProgress progress(this, documents.size());
  const auto format = static_cast<interchange::DocumentFormat>(textFormat_->currentData().toInt());
  const std::string outcome = corpus::exportDocumentTexts(
      list_, openDocument_, documents, [&](const std::string& d) { return progress.next(d); },
      [this](const std::string&) { return ui_.askYesNo(QString::fromUtf8(corpus::msg::kTextExists)); },
      format);
  progress.finish();
  ui_.message(text(outcome));
}

void CorpusManagerDialog::searchExamples() {
  takeViewState();
  const std::optional<ExampleOptions> options = askExampleOptions_();
  if (!options) return;
  takeViewState();
  if (list_.selectedNodes().empty()) return;
  // The output is deleted first: it must not be a document of the list or the open one.
  if (isGuarded(options->output)) {
    ui_.message(kFileInUse);
    return;
  }
  if (!removeFile(options->output)) {
    ui_.message(text(reference::examplesFailureMessage({}, options->output, result::kTextFileError)));
    return;
  }
  const std::vector<std::string> documents = selectedDocumentPaths();
  JobProgress progress(this, documents.size());
  const corpus::ExampleSearchOutcome outcome = corpus::searchExamples(
      documents, options->text, options->field, options->output,
      [&](const std::string& d) { return progress.next(d); });
  progress.finish();
  ui_.message(text(outcome.message));
  if (outcome.outputWritten) openReport_(fromNativePath(options->output));
}

void CorpusManagerDialog::importDocuments() {
  takeViewState();
  const std::optional<std::size_t> group = list_.targetGroup();
  const std::vector<std::string> made = runImport_();
  if (made.empty() || !group) return;
  corpus::AddReport report;
  changeNodes([&] { report = list_.addDocuments(*group, made); });
  model_->statusesChanged();
  showRefusedPaths(report);
}

void CorpusManagerDialog::showRefusedPaths(const corpus::AddReport& report) {
  if (report.unencodable.empty()) return;
  QStringList refused;
  for (const corpus::RefusedPath& r : report.unencodable) refused << text(corpus::refusedPathMessage(r));
  ui_.message(refused.join(QLatin1Char('\n')));
}

std::vector<std::string> CorpusManagerDialog::selectedDocumentPaths() const {
  std::vector<std::string> paths;
  for (const corpus::NodeRef& node : list_.selectedDocuments()) paths.push_back(list_.document(node).path);
  return paths;
}

// ---- closing ---------------------------------------------------------------------------

bool CorpusManagerDialog::saveList() {
  // A list that could not be read is replaced only when the user says so.
  if (loadFailed_ && fileExists(listFile_) && !ui_.askYesNo(kReplaceUnreadList)) return true;
  const corpus::ListResult saved = list_.save(listFile_);
  if (saved) return true;
  ui_.message(text(corpus::saveFailedMessage(listFile_, saved)));
  return ui_.askYesNo(kCloseWithoutSaving);
}

void CorpusManagerDialog::finish() {
  const std::optional<std::string> document = list_.documentToOpen();
  if (!saveList()) return;
  chosen_ = document;
  accept();
}

void CorpusManagerDialog::openConcordance() {
  takeViewState();
  // A selected group stands for its documents; each document is searched once.
  std::vector<std::string> documents;
  for (const batch::BatchDocument& d : batch::documentsOfSelection(list_, list_.selectedNodes())) {
    documents.push_back(d.path);
  }
  if (documents.empty()) {
    ui_.message(QStringLiteral("용례를 찾을 문헌을 고르세요."));
    return;
  }
  if (!saveList()) return;
  concordanceDocuments_ = std::move(documents);
  accept();
}

void CorpusManagerDialog::acceptList() {
  takeViewState();
  finish();
}

void CorpusManagerDialog::openOnDoubleClick() {
  takeViewState();
  if (!list_.documentToOpen()) return;
  finish();
}

}  // namespace selvanor
