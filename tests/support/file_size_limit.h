// Makes writes fail as on a full disk: RLIMIT_FSIZE caps how far any file may grow, and a
// write past it fails with EFBIG instead of raising SIGXFSZ. Works for root too, where a
// read-only folder would not stop a write.
#pragma once

#include <sys/resource.h>

#include <csignal>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace selvanor::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = SIG_DFL;
};

// While it lives, allocations are not reported as leaks. A write that fails in the middle
// of a logged change puts Berkeley DB's environment in its panic state, in which it refuses
// to discard the open transaction's handle (every call returns at once); the program
// closes everything and the next open recovers, but that handle's memory stays behind.
class PanicLeaksAllowed {
 public:
  PanicLeaksAllowed() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
  }
  ~PanicLeaksAllowed() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
  }
  PanicLeaksAllowed(const PanicLeaksAllowed&) = delete;
  PanicLeaksAllowed& operator=(const PanicLeaksAllowed&) = delete;
};

}  // namespace selvanor::test
