// The Storage a DBWrap keeps open between calls (the homonym look-up dictionary).
#include "store/dbwrap.h"
#include "store/storage.h"

namespace selvanor {

void DBWrap::KeptStorageCloser::operator()(Storage* storage) const { delete storage; }

}  // namespace selvanor
