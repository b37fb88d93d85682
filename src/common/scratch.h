// Scratch files and folders carry the id of the process that made them, so that what a
// killed run left behind can be told from what a running one still uses, and removed.
//
//   "<root>/selvanor-<purpose>-<PID>-XXXXXX"   a private scratch folder (makeScratchFolder)
//   "<target>.new-<PID>-<N>"                   a file being rebuilt beside its target
//                                              (FileReplacement, common/files.h)
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace selvanor {

// True while a process with this id exists (one of another user too). Ids that cannot
// name a process of this system (0, negative, too large) count as running, so that
// nothing is removed on their account.
[[nodiscard]] bool processRuns(long long pid);

// The system temporary folder: $TMPDIR when set, else /tmp.
[[nodiscard]] std::string temporaryFolder();

// Makes a private (0700) folder "<root>/selvanor-<purpose>-<PID>-XXXXXX"; `root` empty
// means temporaryFolder(). `purpose` is lower-case letters. Empty on failure.
[[nodiscard]] std::string makeScratchFolder(const std::string& root, std::string_view purpose);

// The process id in a scratch folder's name ("selvanor-reference-123-AbC9x0" -> 123), or
// nullopt when the name is not one makeScratchFolder makes.
[[nodiscard]] std::optional<long long> scratchFolderOwner(std::string_view name);
// The process id in the name of a rebuilt file's temporary beside `targetName`
// ("a.id.new-123-0" with "a.id" -> 123), or nullopt when it is not one.
[[nodiscard]] std::optional<long long> replacementOwner(std::string_view name,
                                                        std::string_view targetName);

// Removes the scratch folders in `root` (empty: temporaryFolder()) that belong to this user
// and whose process no longer runs. The number removed.
std::size_t removeStaleScratchFolders(const std::string& root = {});

// Removes the temporaries beside `target` (its folder, its name) that belong to this user
// and whose process no longer runs. The number removed.
std::size_t removeStaleReplacements(const std::string& target);

// At the start of either program: what killed runs left in the temporary folder.
void removeStaleScratch();

}  // namespace selvanor
