#include "store/reference/reference_grouping.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "common/files.h"
#include "common/scratch.h"
#include "store/engine/codecs.h"

namespace selvanor::reference {
namespace {

// Map node, hash bucket and string headers of one word, roughly.
constexpr std::size_t kGroupOverhead = 96;
constexpr std::uint32_t kMaxU32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kRunBuffer = 1u << 20;

// A run file is a sequence of records, words in byte order:
//   u32 word length, word, u32 item count, u32 item bytes, items.
bool writeRecord(std::FILE* f, std::string_view word, std::uint32_t count, std::string_view items) {
  std::string head;
  codec::appendString(head, word);
  codec::appendU32(head, count);
  codec::appendU32(head, static_cast<std::uint32_t>(items.size()));
  return std::fwrite(head.data(), 1, head.size(), f) == head.size() &&
         std::fwrite(items.data(), 1, items.size(), f) == items.size();
}

bool readExactly(std::FILE* f, char* to, std::size_t n) {
  return n == 0 || std::fread(to, 1, n, f) == n;
}

bool readU32(std::FILE* f, std::uint32_t& v) {
  char b[4];
  if (!readExactly(f, b, 4)) return false;
  std::string_view in(b, 4);
  return codec::readU32(in, v);
}

// One run being merged: its next record's header; the items are read when taken.
struct RunReader {
  FilePtr file;
  std::string word;
  std::uint32_t count = 0;
  std::uint32_t bytes = 0;
  bool atEnd = false;

  // Reads the next header; false on a damaged run (the end of the file is not an error).
  bool advance() {
    char b[4];
    const std::size_t got = std::fread(b, 1, 4, file.get());
    if (got == 0 && !std::ferror(file.get())) {
      atEnd = true;
      return true;
    }
    std::string_view in(b, got);
    std::uint32_t len = 0;
    if (!codec::readU32(in, len)) return false;
    word.resize(len);
    return readExactly(file.get(), word.data(), len) && readU32(file.get(), count) &&
           readU32(file.get(), bytes);
  }

  bool takeItems(std::string& to) {
    const std::size_t at = to.size();
    to.resize(at + bytes);
    return readExactly(file.get(), to.data() + at, bytes);
  }
};

}  // namespace

ItemGrouper::ItemGrouper(GroupingLimits limits) : limits_(std::move(limits)) {
  if (limits_.maxFanIn < 2) limits_.maxFanIn = 2;
}

ItemGrouper::~ItemGrouper() {
  for (const std::string& run : created_) removeFile(run);
  if (!scratch_.empty()) {
    // Whatever else is in it goes too: the folder is this run's alone.
    std::error_code ec;
    std::filesystem::remove_all(scratch_, ec);
  }
}

bool ItemGrouper::fail(std::string what) {
  if (error_.empty()) error_ = std::move(what);
  return false;
}

bool ItemGrouper::add(std::string_view word, std::string_view item) {
  probe_.assign(word);
  auto it = groups_.find(probe_);
  if (it == groups_.end()) {
    it = groups_.emplace(probe_, Group{}).first;
    held_ += kGroupOverhead + word.size();
  }
  Group& g = it->second;
  if (g.count == kMaxU32 || item.size() > kMaxU32 - g.items.size()) {
    return fail("entry too large");  // the stored list counts in 32 bits
  }
  const std::size_t before = g.items.capacity();
  g.items.append(item);
  ++g.count;
  held_ += g.items.capacity() - before;
  return held_ <= limits_.memoryBytes || spill();
}

bool ItemGrouper::makeScratch() {
  if (!scratch_.empty()) return true;
  // Named after this process, so that a later start removes it if this run is killed.
  scratch_ = makeScratchFolder(limits_.scratchRoot, "reference");
  return !scratch_.empty() || fail("scratch folder error");
}

std::string ItemGrouper::newRunPath() {
  // Listed before the file is made, so that a half-written run is removed too.
  created_.push_back(scratch_ + "/run-" + std::to_string(runsWritten_++));
  return created_.back();
}

bool ItemGrouper::spill() {
  if (groups_.empty()) return true;
  if (!makeScratch()) return false;
  std::vector<std::pair<std::string_view, Group*>> sorted;
  sorted.reserve(groups_.size());
  for (auto& [word, group] : groups_) sorted.emplace_back(word, &group);
  std::sort(sorted.begin(), sorted.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  const std::string path = newRunPath();
  runs_.push_back(path);
  FilePtr f = openFile(path, "wb");
  if (!f) return fail("scratch write error");
  std::setvbuf(f.get(), nullptr, _IOFBF, kRunBuffer);
  for (const auto& [word, group] : sorted) {
    if (!writeRecord(f.get(), word, group->count, group->items)) return fail("scratch write error");
  }
  if (std::fclose(f.release()) != 0) return fail("scratch write error");
  groups_.clear();
  held_ = 0;
  return true;
}

bool ItemGrouper::finish(const Sink& sink) {
  if (!error_.empty()) return false;
  if (runs_.empty()) {
    // Everything fitted in memory: sort the words and hand them out directly.
    std::vector<std::pair<std::string_view, Group*>> sorted;
    sorted.reserve(groups_.size());
    for (auto& [word, group] : groups_) sorted.emplace_back(word, &group);
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string list;
    for (const auto& [word, group] : sorted) {
      list.clear();
      codec::appendU32(list, group->count);
      codec::appendU32(list, static_cast<std::uint32_t>(group->items.size()));
      list += group->items;
      std::string().swap(group->items);  // give back each word's memory once it is written
      if (!sink(word, list)) return false;
    }
    groups_.clear();
    return true;
  }
  if (!spill()) return false;
  // While there are more runs than may be open at once, merge neighbouring runs in groups
  // (which keeps the input order); each pass reads and writes every item once.
  while (runs_.size() > limits_.maxFanIn) {
    std::vector<std::string> next;
    for (std::size_t at = 0; at < runs_.size(); at += limits_.maxFanIn) {
      const std::size_t end = std::min(runs_.size(), at + limits_.maxFanIn);
      if (end - at == 1) {
        next.push_back(runs_[at]);
        continue;
      }
      const std::vector<std::string> group(runs_.begin() + at, runs_.begin() + end);
      std::string merged;
      if (!mergeToRun(group, merged)) return false;
      next.push_back(std::move(merged));
    }
    runs_ = std::move(next);
  }
  return mergeRuns(runs_, sink);
}

bool ItemGrouper::mergeToRun(const std::vector<std::string>& runs, std::string& merged) {
  merged = newRunPath();
  FilePtr out = openFile(merged, "wb");
  if (!out) return fail("scratch write error");
  std::setvbuf(out.get(), nullptr, _IOFBF, kRunBuffer);
  std::FILE* f = out.get();
  const bool ok = mergeRuns(runs, [f](std::string_view word, std::string_view list) {
    std::string_view items = list;
    std::uint32_t count = 0, bytes = 0;
    return codec::readU32(items, count) && codec::readU32(items, bytes) &&
           writeRecord(f, word, count, items);
  });
  if (!ok || std::fclose(out.release()) != 0) return fail("scratch write error");
  for (const std::string& run : runs) removeFile(run);
  return true;
}

bool ItemGrouper::mergeRuns(const std::vector<std::string>& runs, const Sink& sink) {
  std::vector<RunReader> readers(runs.size());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    readers[i].file = openFile(runs[i], "rb");
    if (!readers[i].file) return fail("scratch read error");
    std::setvbuf(readers[i].file.get(), nullptr, _IOFBF, kRunBuffer / 16);
    if (!readers[i].advance()) return fail("scratch read error");
  }
  std::string word, list;
  for (;;) {
    const RunReader* least = nullptr;
    for (const RunReader& r : readers) {
      if (!r.atEnd && (!least || r.word < least->word)) least = &r;
    }
    if (!least) return true;
    word = least->word;
    std::uint64_t count = 0, bytes = 0;
    for (const RunReader& r : readers) {
      if (!r.atEnd && r.word == word) {
        count += r.count;
        bytes += r.bytes;
      }
    }
    if (count > kMaxU32 || bytes > kMaxU32) return fail("entry too large");
    list.clear();
    codec::appendU32(list, static_cast<std::uint32_t>(count));
    codec::appendU32(list, static_cast<std::uint32_t>(bytes));
    for (RunReader& r : readers) {  // run order is input order
      if (r.atEnd || r.word != word) continue;
      if (!r.takeItems(list) || !r.advance()) return fail("scratch read error");
    }
    if (!sink(word, list)) return false;
  }
}

}  // namespace selvanor::reference
