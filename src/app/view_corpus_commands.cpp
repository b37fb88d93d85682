// The view's handlers of the document merge, the reference files and the statistics
// file.
#include <QApplication>

#include "ui_base/qt_text.h"
#include "app/selvanor_view.h"
#include "common/derived_paths.h"
#include "ui_base/user_interaction.h"
#include "facade/dbwrap.h"
#include "store/reference/reference_file.h"
#include "ui/build_reference_dialog.h"
#include "ui/merge_documents_dialog.h"
#include "ui/merge_references_dialog.h"
#include "ui/statistics_file_dialog.h"

namespace selvanor {

void CSelvanorView::mergeDocumentsCommand() {
  const QString folder = settings_ ? fromNativePath(settings_->documentFolder()) : QString();
  MergeDocumentsDialog dialog(ui_, folder, gridDocumentHandle(), this);
  dialog.exec();
}

void CSelvanorView::buildReferenceCommand() {
  BuildReferenceDialog dialog(ui_, context_.currentDocument, this);
  // The reference page looks the open document's file up afresh.
  connect(&dialog, &DocumentFileDialog::made, this, [this](const QString& target) {
    if (gridLoaded_ && nativePath(target) == context_.currentReference) {
      emit documentReferenceChanged(target);
    }
  });
  dialog.exec();
}

void CSelvanorView::mergeReferencesCommand() {
  MergeReferencesDialog dialog(ui_, this);
  connect(&dialog, &MergeReferencesDialog::merged, this, [this](const QString& base) {
    if (gridLoaded_ && nativePath(base) == context_.currentReference) {
      emit documentReferenceChanged(base);
    }
  });
  dialog.exec();
}

void CSelvanorView::saveReferenceTextCommand() {
  const QString chosen =
      ui_.chooseOpenFile(QStringLiteral("참조 파일 (*.idx)|*.idx||"), QStringLiteral("*.idx"));
  if (chosen.isEmpty()) return;
  const std::string source = nativePath(chosen);
  const std::string text = derived::referenceTextFile(source);
  if (auto refusal = reference::checkExportTarget(source, text)) {
    ui_.warning(QString::fromStdString(*refusal));
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  DBWrap db;
  const ResultCode rc = db.printDBcont(ExportKind::Reference, source, text);
  QApplication::restoreOverrideCursor();
  ui_.message(QString::fromStdString(reference::exportOutcomeMessage(rc)));
}

void CSelvanorView::buildStatisticsCommand() {
  StatisticsFileDialog dialog(ui_, context_.currentDocument, this);
  dialog.exec();
}

}  // namespace selvanor
