#include "ui/batch_modification_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTreeView>
#include <QVBoxLayout>

#include "common/files.h"
#include "facade/dbwrap.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/homonym_dictionary_lookup.h"
#include "store/engine/document_cursor.h"
#include "store/grid/row_cache.h"
#include "ui/correction_list_dialog.h"
#include "ui/corpus_tree_model.h"
#include "ui/homonym_correction_window.h"
#include "ui_base/operation_progress.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {
namespace {

// What the grid says of a document without records; the correction then has nothing to do.
const QString kNoRecords = QStringLiteral("저장된 파일이 없습니다.");

}  // namespace

BatchModificationDialog::BatchModificationDialog(UserInteraction& ui, const std::string& listFile,
                                                 std::string homonymDictionary, const TagManager& tags,
                                                 BatchHooks hooks, QWidget* parent)
    : QDialog(parent), ui_(ui), homonymDictionary_(std::move(homonymDictionary)), tags_(tags),
      hooks_(std::move(hooks)) {
  setWindowTitle(QStringLiteral("분석 문헌 수정"));
  if (!hooks_.profile) hooks_.profile = new QSettings(this);  // the application's own, at worst
  if (!list_.load(listFile, /*createIfMissing=*/true)) {
    ui_.message(QString::fromStdString(corpus::loadFailedMessage(listFile)));
  }
  list_.expandAll();
  model_ = new CorpusTreeModel(list_, this);
  tree_ = makeCorpusPicker(model_, QStringLiteral("batchTree"), this);

  auto* autoButton = new QPushButton(QStringLiteral("형태소->단어"), this);
  auto* homonymButton = new QPushButton(QStringLiteral("동음어 수정"), this);
  auto* checkButton = new QPushButton(QStringLiteral("작업 오류 수정"), this);
  auto* closeButton = new QPushButton(QStringLiteral("닫기"), this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {autoButton, homonymButton, checkButton}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(closeButton);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(buttons);

  connect(autoButton, &QPushButton::clicked, this, &BatchModificationDialog::autoCorrect);
  connect(homonymButton, &QPushButton::clicked, this, &BatchModificationDialog::correctHomonyms);
  connect(checkButton, &QPushButton::clicked, this, &BatchModificationDialog::checkWorkErrors);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

  askList_ = [this]() -> std::optional<std::string> {
    CorrectionListDialog dialog(ui_, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.listPath();
  };
}

BatchModificationDialog::~BatchModificationDialog() = default;

std::vector<batch::BatchDocument> BatchModificationDialog::selectedDocuments() const {
  // In the order the nodes were selected.
  std::vector<corpus::NodeRef> nodes;
  for (const QModelIndex& index : tree_->selectionModel()->selectedIndexes()) {
    if (index.column() == 0) nodes.push_back(CorpusTreeModel::nodeAt(index));
  }
  return batch::documentsOfSelection(list_, nodes);
}

void BatchModificationDialog::run(batch::Operation op, const std::vector<batch::BatchDocument>& documents,
                                  const batch::DocumentOperation& operation, bool changesDocuments) {
  batch::BatchControl control;
  // Homonym correction shows its own windows, with the position and the records left;
  // the other two advance a progress dialog record by record. Its 취소 ends the batch: the
  // document in progress is left as it was (auto-correction renames its copy only at the
  // end) and the documents after it are not touched.
  std::optional<OperationProgress> progress;
  if (op != batch::Operation::HomonymCorrection) {
    progress.emplace(this, QString::fromUtf8(batch::operationName(op)), true);
    control.setProgress(progress->callback());
  }
  bool released = false;
  batch::BatchListener listener;
  listener.beforeDocument = [&](const batch::BatchDocument& d) {
    if (progress) {
      progress->dialog()->setLabelText(QString::fromUtf8(batch::operationName(op)) +
                                       QStringLiteral("\n") + fromNativePath(d.path));
    }
    if (!changesDocuments || !hooks_.openDocument.holds(d.path)) return;
    hooks_.openDocument.release();
    released = true;
  };
  listener.afterDocument = [&](const batch::BatchDocument&, const batch::DocumentReport& report,
                               std::string_view line) {
    // Reopened before any message box, whose event loop would repaint the grid.
    if (released) hooks_.openDocument.reload();
    released = false;
    if (op == batch::Operation::WorkErrorCheck && !report.failed) {
      ui_.message(QString::fromUtf8(batch::msg::kCheckDocumentDone));
    }
    if (hooks_.status) hooks_.status(QString::fromUtf8(line.data(), static_cast<int>(line.size())));
  };
  outcome_ = batch::runBatch(op, documents, operation, listener, control);
  if (progress) progress->finish();
  progress.reset();
  if (!outcome_.finalMessage.empty()) ui_.message(QString::fromStdString(outcome_.finalMessage));
}

void BatchModificationDialog::autoCorrect() {
  const std::vector<batch::BatchDocument> documents = selectedDocuments();
  if (documents.empty()) return;
  const std::optional<std::string> list = askList_();
  if (!list || batch::checkCorrectionList(*list)) return;
  run(batch::Operation::AutoCorrection, documents, batch::autoCorrection(*list), true);
}

void BatchModificationDialog::correctHomonyms() {
  const std::vector<batch::BatchDocument> documents = selectedDocuments();
  if (documents.empty()) return;
  DongumLookup dictionary(homonymDictionary_);
  if (!dictionary.open()) {
    ui_.message(QString::fromUtf8(homonym::msg::kCannotOpen) + QStringLiteral(" [") +
                fromNativePath(homonymDictionary_) + QStringLiteral("]"));
    return;
  }
  run(batch::Operation::HomonymCorrection, documents,
      [&](const batch::BatchDocument& d, batch::BatchControl&) { return correctHomonymsIn(d, dictionary); },
      true);
}

batch::DocumentReport BatchModificationDialog::correctHomonymsIn(const batch::BatchDocument& document,
                                                                 HomonymLookup& lookup) {
  batch::DocumentReport report;
  RowCache cache;  // the document's own records, apart from the grid's
  if (cache.open(document.path) <= 0) {
    DocumentCursor probe;
    if (!fileExists(document.path) || probe.open(document.path, OpenMode::ExistingOnly) != result::kOk) {
      report.failed = true;
      report.failure = fileExists(document.path) ? batch::msg::kCannotOpen : batch::msg::kMissing;
    } else {
      ui_.message(kNoRecords);  // an empty document: nothing to correct
    }
    return report;
  }
  HomonymCorrectionWindow window(ui_, *hooks_.profile, cache, lookup, this);
  window.startDeferred();
  window.exec();
  report.stopped = window.outcome() == CorrectionOutcome::Stopped;  // the next document follows
  if (window.outcome() == CorrectionOutcome::DictionaryFailed) {
    report.failed = true;
    report.failure = homonymmsg::kDictionaryFailed;
  }
  report.changedRecords = static_cast<std::size_t>(window.changedRows());
  return report;
}

void BatchModificationDialog::checkWorkErrors() {
  const std::vector<batch::BatchDocument> documents = selectedDocuments();
  if (documents.empty()) return;
  const auto toErrorLog = [this](const AnalysisRecord&, const std::string& line) {
    if (hooks_.errorLog) hooks_.errorLog(line);
  };
  run(batch::Operation::WorkErrorCheck, documents, batch::workErrorCheck(tags_, toErrorLog), false);
}

}  // namespace selvanor
