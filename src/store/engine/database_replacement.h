// A database file rebuilt beside its target and renamed over it (common/files.h,
// FileReplacement), holding the target alone from the start of the work to the rename.
//
// A rebuild never renames over a file another program has open: the target's lock
// (store/engine/file_lock.h) is taken when the replacement is made, waiting a short while,
// and a target that another program reads or changes is refused before the work starts
// (refusal()) and again at commit(). The new file is vouched for (store/engine/integrity.h):
// the program wrote it whole, so the next open does not verify it again. A change log left
// beside the old file belongs to the old file and is removed with it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/files.h"
#include "store/engine/file_lock.h"

namespace selvanor {

class DatabaseReplacement {
 public:
  explicit DatabaseReplacement(std::string target);
  DatabaseReplacement(const DatabaseReplacement&) = delete;
  DatabaseReplacement& operator=(const DatabaseReplacement&) = delete;

  const std::string& target() const { return file_.target(); }
  const std::string& realTarget() const { return file_.realTarget(); }
  const std::string& temporaryPath() const { return file_.temporaryPath(); }

  // True when another program reads or changes the target (or this one changes it): the
  // work should not start. The reason for the user is noted (common/refusal.h).
  [[nodiscard]] bool inUse();
  // Why the target may not be replaced (in use, or FileReplacement's reasons); empty when
  // it may.
  [[nodiscard]] std::string refusal();
  // Renames the finished temporary over the target (the temporary closed by the caller)
  // and vouches for the new file, whose pages carry log positions up to `lastLogFile`
  // (0 for a file written whole without a log; nullopt when not known: then the next
  // open verifies it). False, the temporary removed and the target as it was, on failure
  // or refusal.
  [[nodiscard]] bool commit(std::optional<std::uint32_t> lastLogFile = 0);

 private:
  FileReplacement file_;
  FileLock lock_;
  std::string busy_;  // the user's words when the target is held by another program
};

}  // namespace selvanor
