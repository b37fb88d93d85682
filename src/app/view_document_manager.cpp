// The view's handler of the corpus manager "분석 문헌 관리": the document list, its batch
// jobs and the opening of a document into the grid.
#include "app/selvanor_view.h"

namespace selvanor {

void CSelvanorView::manageDocumentsCommand() { openDocumentCommand(); }

}  // namespace selvanor
