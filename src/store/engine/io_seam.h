// The engine's seam to the file system: every write, sync and rename that Berkeley DB
// makes goes through here (its documented replacement hooks, db_env_set_func_*).
//
// It does two jobs:
//  - It drops the write with which Berkeley DB extends a new log file to its full size
//    before writing to it (a sparse 10 MiB hole on most file systems, a real one on FAT):
//    a log then needs no more room than the change it holds. The extension is optional
//    in Berkeley DB itself (it ignores its failure).
//  - Tests arm a fault: the Nth page write, log write, sync or rename from now fails with
//    an errno, or the process dies just before it (a kill placed by count, not by clock).
#pragma once

#include <cerrno>

namespace selvanor::seam {

// Routes Berkeley DB's I/O through the seam. Idempotent; every opener of a database calls
// it before its first handle.
void install();

enum class Call {
  PageWrite,  // a database page written to the database file
  LogWrite,   // a write of the change log
  Sync,       // fsync of any file Berkeley DB holds
  Rename,     // a rename Berkeley DB makes
};

enum class Effect {
  Fail,  // the call fails with `error` and writes nothing
  Die,   // the process ends at once (_exit 137), as a kill would, before the call
};

struct Fault {
  Call call = Call::PageWrite;
  int nth = 1;  // counting from 1 from the moment it is armed
  Effect effect = Effect::Fail;
  int error = ENOSPC;
  bool sticky = false;  // Fail every such call from the Nth on (a disk that stays full)
};

// Arms one fault (replacing any armed one) and restarts the counts.
void arm(const Fault& fault);
// Disarms and restarts the counts.
void disarm();
// Calls of `call` seen since the last arm()/disarm()/resetCounts().
[[nodiscard]] int count(Call call);
void resetCounts();
// True once an armed Fail fault has fired.
[[nodiscard]] bool fired();

}  // namespace selvanor::seam
