// selvanor-verify FILE: Berkeley DB's verifier on one database file, run by the programs
// of the system in a process of its own (the verifier reads the damage it looks for).
// Exit 0 and "lsn N" on standard output when the file is sound (N: the highest log file
// number its pages carry), 1 when it is damaged, 2 on a usage error.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>

#include "store/engine/integrity.h"

int main(int argc, char** argv) {
  if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
    std::fprintf(stderr, "usage: selvanor-verify FILE\n");
    return 2;
  }
  // The program that asked waits under a time limit; should it end first (killed, or
  // itself out of time), this one ends too, and it never runs past its own limit: the
  // key-order pass can go round for ever on damaged pages.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  const pid_t asker = ::getppid();
  if (asker == 1) return 1;
  struct stat st {};
  if (::stat(argv[1], &st) != 0) return 1;
  ::alarm(selvanor::integrity::timeLimitSeconds(static_cast<std::uint64_t>(st.st_size)));
  // The page stamps are read beside the verifier, on the other core: the file is read
  // once from the disk, and the answer costs no time of its own.
  std::optional<std::uint32_t> last;
  std::thread stamps([&] { last = selvanor::integrity::scanLastLogFile(argv[1]); });
  const bool sound = selvanor::integrity::verifyHere(argv[1]);
  stamps.join();
  // The verdict is the exit status alone: nothing that runs at exit (a sanitizer's leak
  // report over Berkeley DB's own allocations) may turn a sound file into a damaged one.
  if (!sound || !last) ::_exit(1);
  std::printf("lsn %u\n", *last);
  std::fflush(stdout);
  ::_exit(0);
}
