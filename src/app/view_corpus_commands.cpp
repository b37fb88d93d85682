// The view's handlers of the document merge, the reference files and the statistics
// file.
#include "app/selvanor_view.h"

namespace selvanor {

void CSelvanorView::mergeDocumentsCommand() {}
void CSelvanorView::buildReferenceCommand() {}
void CSelvanorView::mergeReferencesCommand() {}
void CSelvanorView::saveReferenceTextCommand() {}
void CSelvanorView::buildStatisticsCommand() {}

}  // namespace selvanor
