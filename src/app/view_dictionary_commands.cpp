// The view's handlers of the dictionary commands: building, merging and text dumps of
// the homonym and unregistered-word dictionaries.
#include "app/selvanor_view.h"

namespace selvanor {

void CSelvanorView::buildHomonymDictionaryCommand() {}
void CSelvanorView::mergeHomonymDictionariesCommand() {}
void CSelvanorView::saveHomonymTextCommand() {}
void CSelvanorView::mergeUnregisteredCommand() {}
void CSelvanorView::saveUnregisteredTextCommand() {}

}  // namespace selvanor
