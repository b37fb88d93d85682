#include "ui/merge_documents_dialog.h"

#include <QApplication>

#include "ui_base/user_interaction.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "store/document/document_merge.h"
#include "ui_base/operation_progress.h"

namespace selvanor {

MergeDocumentsDialog::MergeDocumentsDialog(UserInteraction& ui, const QString& documentFolder,
                                           OpenDocumentHandle openDocument, QWidget* parent)
    : FilePairDialog(ui,
                     {QStringLiteral("분석문헌 합치기"), QStringLiteral("기본 파일"),
                      QStringLiteral("합칠 파일")},
                     QStringLiteral("DB Files (*.id)|*.id||"), documentFolder + QStringLiteral("*.id"),
                     OnCancel::KeepField, parent),
      open_(std::move(openDocument)) {}

void MergeDocumentsDialog::confirm() {
  const std::string base = basePath();
  const std::string added = addedPath();
  const bool canRelease = open_.release && open_.reload;
  if (auto refusal = merge::checkMerge(base, added, canRelease ? std::string() : open_.path)) {
    ui_.message(QString::fromStdString(*refusal));
    return;
  }
  const bool intoOpenDocument = !open_.path.empty() && sameFile(base, open_.path);
  if (intoOpenDocument) open_.release();
  DBWrap db;
  ResultCode rc = result::kOk;
  {
    // Written into the base as one change: a cancel undoes it whole.
    OperationProgress progress(this, windowTitle(), true);
    rc = db.mergeBunsukDB(base, added, progress.callback());
    progress.finish();
  }
  // Reopened before the message box, whose event loop would repaint the grid.
  if (intoOpenDocument) open_.reload();
  ui_.message(QString::fromStdString(merge::outcomeMessage(rc)));
}

}  // namespace selvanor
