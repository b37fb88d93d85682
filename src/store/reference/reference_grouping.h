// Grouping the items of a reference file by word with bounded memory.
//
// Appending each occurrence to its word's stored list rewrites the whole list every time,
// which is quadratic in a word's frequency. Instead the occurrences are grouped here and
// every word is handed out once, with its items in the order they were added, as the
// complete EncapList value: the bytes the one-by-one appends would have left.
//
// Items are held in memory per word; when they pass the memory budget they are written,
// words sorted, as a run file into a private scratch folder (mkdtemp), and at the end the
// runs are merged word by word. Runs hold consecutive stretches of the input, so taking a
// word's items run by run keeps their order. Memory is the budget plus one word's list
// (a list is one stored value and is put whole).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace selvanor::reference {

struct GroupingLimits {
  std::size_t memoryBytes = 16u << 20;  // items (with their bookkeeping) held before a run is written
  std::size_t maxFanIn = 64;            // runs merged at once; more are merged in passes
  std::string scratchRoot;              // where the scratch folder goes; empty: $TMPDIR or /tmp
                                        // (named by makeScratchFolder, common/scratch.h)
};

class ItemGrouper {
 public:
  // Receives each word once, in byte order of words, with its whole EncapList value.
  using Sink = std::function<bool(std::string_view word, std::string_view list)>;

  explicit ItemGrouper(GroupingLimits limits = {});
  ~ItemGrouper();  // removes the scratch folder and its runs
  ItemGrouper(const ItemGrouper&) = delete;
  ItemGrouper& operator=(const ItemGrouper&) = delete;

  // Adds one encoded item under `word`. False when a run could not be written (error()).
  [[nodiscard]] bool add(std::string_view word, std::string_view item);

  // Hands every word to `sink`. False when a run cannot be read, a list would not fit its
  // 32-bit count or length, or the sink refused (then error() is empty). Call once.
  [[nodiscard]] bool finish(const Sink& sink);

  // What failed, for the caller's diagnostic ("scratch write error", ...).
  const std::string& error() const { return error_; }
  // Run files written so far, merge passes included (0 when everything fitted in memory).
  std::size_t runCount() const { return runsWritten_; }

 private:
  struct Group {
    std::uint32_t count = 0;
    std::string items;
  };

  bool spill();
  bool makeScratch();
  std::string newRunPath();
  bool mergeRuns(const std::vector<std::string>& runs, const Sink& sink);
  bool mergeToRun(const std::vector<std::string>& runs, std::string& merged);
  bool fail(std::string what);

  GroupingLimits limits_;
  std::unordered_map<std::string, Group> groups_;
  std::string probe_;  // reused look-up key: no allocation per item of a known word
  std::size_t held_ = 0;
  std::string scratch_;
  std::vector<std::string> runs_;     // runs to merge, in input order
  std::vector<std::string> created_;  // every run file made (removed at the end)
  std::size_t runsWritten_ = 0;
  std::string error_;
};

}  // namespace selvanor::reference
