// The view's handlers of the statistics runs: 통계 실행 and the five single-document
// commands of the toolbar.
#include "app/selvanor_view.h"
#include "ui/statistics_command.h"
#include "ui/statistics_listing_dialog.h"

namespace selvanor {

void CSelvanorView::runStatisticsCommand() {
  StatisticsCommand command(ui_, tags_, context_.documentListFile, this);
  command.run();
}

void CSelvanorView::statisticsListingCommand(int type) {
  StatisticsListingDialog dialog(ui_, type, tags_, context_.documentListFile, this);
  dialog.exec();
}

}  // namespace selvanor
