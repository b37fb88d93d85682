#include "ui/statistics_file_dialog.h"

#include "common/derived_paths.h"
#include "stats/statistics_file.h"
#include "facade/dbwrap.h"
#include "store/corpus/document_list.h"

namespace selvanor {

// The field names the file makeTongDB writes, so both come from the same rule.
StatisticsFileDialog::StatisticsFileDialog(UserInteraction& ui, const std::string& document,
                                           QWidget* parent)
    : DocumentFileDialog(ui, QStringLiteral("통계 파일 만들기"), QStringLiteral("통계 파일 만들기"),
                         document, derived::statisticsFile(document), parent) {}

DocumentFileDialog::Outcome StatisticsFileDialog::makeFile(const ProgressFn& progress) {
  DBWrap db;
  const ResultCode rc = db.makeTongDB(document(), progress);
  return {rc == result::kOk, stats::outcomeMessage(rc, document()), rc == result::kCancelled};
}

}  // namespace selvanor
