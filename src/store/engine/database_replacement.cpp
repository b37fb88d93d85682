#include "store/engine/database_replacement.h"

#include <filesystem>

#include "common/diagnostics.h"
#include "common/refusal.h"
#include "store/engine/change_log.h"
#include "store/engine/integrity.h"

namespace selvanor {

DatabaseReplacement::DatabaseReplacement(std::string target) : file_(std::move(target)) {
  if (!fileExists(file_.realTarget())) return;
  LockRefusal why;
  lock_ = FileLock::acquire(file_.realTarget(), LockKind::Exclusive, &why);
  if (!lock_ && why.reason == LockRefusal::Reason::Busy) {
    busy_ = describeRefusal(file_.target(), why, LockKind::Exclusive);
  } else if (lock_ && changelog::inUse(file_.realTarget())) {
    busy_ = "이 프로그램이 이 파일을 고치고 있습니다: " + file_.target();
  } else if (lock_ && !changelog::holder(file_.realTarget()).empty()) {
    // A change under way in another program keeps its log open beside the file.
    busy_ = "다른 프로그램이 이 파일을 고치고 있습니다: " + file_.target() + "\n(" +
            changelog::holder(file_.realTarget()) + ")";
  }
}

bool DatabaseReplacement::inUse() {
  if (busy_.empty()) return false;
  noteRefusal(busy_);
  return true;
}

std::string DatabaseReplacement::refusal() {
  if (inUse()) return "in use by another program";
  return file_.refusal();
}

bool DatabaseReplacement::commit(std::optional<std::uint32_t> lastLogFile) {
  if (const std::string refused = refusal(); !refused.empty()) {
    writeDiagnostic(file_.target() + ": " + refused + "; not replaced\n");
    removeFile(file_.temporaryPath());
    return false;
  }
  if (!file_.commit()) return false;
  // Whatever log sat beside the old file described the old file.
  std::error_code ec;
  const std::string folder = changelog::folderFor(file_.realTarget());
  if (std::filesystem::exists(folder, ec) && changelog::holder(file_.realTarget()).empty()) {
    std::filesystem::remove_all(folder, ec);
  }
  if (lastLogFile) integrity::vouch(file_.realTarget(), *lastLogFile);
  lock_.release();
  return true;
}

}  // namespace selvanor
