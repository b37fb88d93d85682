#include "ui/build_reference_dialog.h"

#include "common/derived_paths.h"
#include "facade/dbwrap.h"
#include "store/reference/reference_file.h"

namespace selvanor {

BuildReferenceDialog::BuildReferenceDialog(UserInteraction& ui, const std::string& document,
                                           QWidget* parent)
    : DocumentFileDialog(ui, QStringLiteral("참조 파일 만들기"), QStringLiteral("참조 파일 만들기"),
                         document, derived::referenceFile(document), parent) {}

DocumentFileDialog::Outcome BuildReferenceDialog::makeFile(const ProgressFn& progress) {
  DBWrap db;
  const ResultCode rc = db.makeWonmunDB(document(), progress);
  return {rc == result::kOk, reference::buildOutcomeMessage(rc), rc == result::kCancelled};
}

}  // namespace selvanor
