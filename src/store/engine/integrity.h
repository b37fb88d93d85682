// Damaged files are caught before anything walks or writes them.
//
// Berkeley DB reads a damaged page as it finds it: a zeroed page, a flipped bit or a
// truncated file can send a walk past a buffer, round in a loop, or end it early as if
// the file were shorter. Every existing database file is therefore passed through Berkeley
// DB's own verifier before it is opened, and the verdict is remembered (in this process
// and in the user's cache folder) against the file's device, inode, size and times, so
// an unchanged file is verified once. A verdict is trusted only when the file had not
// changed within the two seconds before it was given: a change in the same clock tick
// would leave size and times as they were.
#pragma once

#include <string>

namespace selvanor::integrity {

enum class Verdict {
  Sound,       // verified now or before, unchanged since
  NotADatabase,  // empty, or no B-tree database at all: opening it fails on its own
  Damaged,     // a B-tree database that fails verification
};

// The verdict on the existing file `file` (a missing file is NotADatabase).
[[nodiscard]] Verdict check(const std::string& file);

// Forgets what is remembered (for tests that damage a file within a clock tick).
void forgetAll();

}  // namespace selvanor::integrity
