// How a long operation reports how far it has come and learns that the user wants it to
// stop. The operation calls the function with the work done and the whole (in one unit of
// its choice: bytes of input, records); `total` 0 means the whole is not known. A false
// answer asks it to stop: an operation that builds its file beside the target and
// renames it at the end then removes the temporary, keeps the old file and returns
// result::kCancelled; one that cannot stop without leaving a half-written file goes on
// (its caller shows no cancel button).
#pragma once

#include <cstdint>
#include <functional>

namespace selvanor {

// What the window says when the user stopped such an operation.
inline constexpr const char* kCancelledMessage = "작업을 취소하였습니다. 원래 파일은 그대로입니다.";

using ProgressFn = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Calls an optional ProgressFn and remembers a request to stop.
class ProgressReporter {
 public:
  explicit ProgressReporter(const ProgressFn& fn, std::uint64_t total = 0) : fn_(fn), total_(total) {}

  void setTotal(std::uint64_t total) { total_ = total; }
  // Reports `done`; false once the callback asked to stop (then and on every later call).
  bool report(std::uint64_t done) {
    if (stopped_) return false;
    if (fn_ && !fn_(done, total_)) stopped_ = true;
    return !stopped_;
  }
  // Reports one more unit done.
  bool step() { return report(++done_); }
  [[nodiscard]] bool stopped() const { return stopped_; }
  [[nodiscard]] std::uint64_t done() const { return done_; }

 private:
  const ProgressFn& fn_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  bool stopped_ = false;
};

}  // namespace selvanor
