#include "ui/merge_references_dialog.h"

#include "facade/dbwrap.h"
#include "store/reference/reference_file.h"
#include "ui_base/operation_progress.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

MergeReferencesDialog::MergeReferencesDialog(UserInteraction& ui, QWidget* parent)
    : FilePairDialog(ui,
                     {QStringLiteral("참조 파일 합치기"), QStringLiteral("기본 파일"),
                      QStringLiteral("합칠 파일")},
                     QStringLiteral("참조 파일  (*.idx)|*.idx||"), QString(), OnCancel::ClearField,
                     parent) {}

void MergeReferencesDialog::confirm() {
  const std::string base = basePath();
  const std::string added = addedPath();
  if (auto refusal = reference::checkMergeFields(base, added)) {
    ui_.message(QString::fromStdString(*refusal));
    return;
  }
  DBWrap db;
  ResultCode rc = result::kOk;
  {
    // Written into the base as one change: a cancel undoes it whole.
    OperationProgress progress(this, windowTitle(), true);
    rc = db.mergeWonmunDB(base, added, progress.callback());
    progress.finish();
  }
  if (rc != result::kOpenError && rc != result::kCancelled) emit merged(fromNativePath(base));
  ui_.message(QString::fromStdString(reference::mergeOutcomeMessage(rc)));
  if (rc == result::kOk) accept();
}

}  // namespace selvanor
