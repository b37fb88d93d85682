// The view's handlers of the corrections of the open document: the auto-correction
// list and the homonym correction (first pass and review).
#include "app/selvanor_view.h"

namespace selvanor {

void CSelvanorView::autoCorrectCommand() {}
void CSelvanorView::homonymCorrectCommand(bool /*review*/) {}

}  // namespace selvanor
