// Damaged files are caught before anything walks or writes them, and each file is checked
// once.
//
// Berkeley DB reads a damaged page as it finds it: a zeroed page, a flipped bit or a
// truncated file can send a walk past a buffer, round in a loop, or end it early as if the
// file were shorter. A database file this program has not vouched for is therefore passed
// through Berkeley DB's verifier (structure and key order) before it is opened. The
// verifier runs in a separate program (selvanor-verify) under a time limit: it reads the
// damage itself, and a crash or a hang there is a verdict, not the end of this program.
//
// Sound verdicts are remembered against the file's identity (device, inode, size and
// times), in this process and in the user's cache folder ("<XDG_CACHE_HOME or
// ~/.cache>/selvanor/verified"), so an unchanged file is verified once. A file this program
// has just written whole (a rebuild renamed into place) or changed in a committed change
// is vouched for without a verification: its new identity is remembered as sound at once.
// A verdict from a verification is kept only when the file had not changed within the two
// seconds before it: a change by another program in the same clock tick would leave size
// and times as they were. A file changed by anything else has a new identity and is
// verified again.
//
// With each verdict goes the highest log file number found in the file's page stamps,
// which a change log must start past (store/engine/change_log.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace selvanor::integrity {

enum class Verdict {
  Sound,         // verified now or before, unchanged since
  NotADatabase,  // empty, or no B-tree database at all: opening it fails on its own
  Damaged,       // a B-tree database that fails verification
  Cancelled,     // the user stopped the verification: the open is abandoned
};

// The verdict on the existing file `file` (a missing file is NotADatabase). May take a
// whole read of the file when it is not remembered.
[[nodiscard]] Verdict check(const std::string& file);

// Remembers the file as it is now as sound: this program has just written it whole or
// committed a change to it. `lastLogFile` is the highest log file number its pages may
// carry (0 when none: a file written without a log).
void vouch(const std::string& file, std::uint32_t lastLogFile);

// The highest log file number the pages of `file` may carry, when remembered for the file
// as it is now.
[[nodiscard]] std::optional<std::uint32_t> lastLogFile(const std::string& file);

// Reads every page stamp of the file: the highest log file number any page carries (0 when
// none was written under a log). nullopt when the file cannot be read.
[[nodiscard]] std::optional<std::uint32_t> scanLastLogFile(const std::string& file);

// The longest a verification of a file of `size` bytes may take: a sound file verifies at
// tens of MB a second; the key-order pass can go round for ever on some damaged pages, and
// the limit ends it as a verdict of damage.
[[nodiscard]] unsigned timeLimitSeconds(std::uint64_t size);

// Verifies `file` in this process (the body of selvanor-verify): true when sound.
[[nodiscard]] bool verifyHere(const std::string& file);

// A verification that takes longer than a moment is shown: the window installs a watcher
// that is called with the file and, repeatedly, with the fraction done (0..1); it returns
// false to cancel. Without a watcher nothing is shown and nothing is cancelled.
using Watcher = std::function<bool(const std::string& file, double fraction)>;
void setWatcher(Watcher watcher);

// Forgets what this process learnt beyond the cache file, as a new process would start.
void forgetAll();

}  // namespace selvanor::integrity
