// Shows a verification of a database file that takes longer than a moment (the first open
// of a file from elsewhere reads it whole) in a progress dialog with a cancel button:
// cancelling abandons the open (store/engine/integrity.h).
#pragma once

namespace selvanor {

// Installs the window's watcher for every verification of this process.
void installVerificationProgress();

}  // namespace selvanor
