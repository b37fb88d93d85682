// The tag set: the three-level classification of part-of-speech tags read from the tag
// file, with the look-ups and tag lists the checks, statistics and editor rely on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace selvanor {

// One entry of the tag set. Classes (level 1) have no tag; items (levels 2 and 3) do.
// Name and tag are CP949 bytes; the tag has its ASCII letters upper-cased.
struct TagNode {
  int level = 0;  // 1 class, 2 item, 3 sub-item
  std::string name;
  std::string tag;                // empty for a class
  std::vector<TagNode> children;  // a class's items, an item's sub-items (file order)
};

// What Load did: success, or why not (a Korean message, UTF-8, for the UI and the terminal).
struct TagLoadResult {
  bool ok = true;
  std::string error;
  explicit operator bool() const { return ok; }
};

// Owned by the view for the whole run; other parts borrow it. Single-threaded.
//
// Every pointer and reference handed out (nodes, node lists) stays valid until the next
// successful open in Load(). Every operation answers with its value; nothing is kept
// between calls but the tag set itself, and nothing is shown or thrown here.
class TagManager {
 public:
  // Longest name or tag, in bytes, the tag file may hold. A longer field rejects the file
  // (a cut field would silently become a different tag).
  static constexpr std::size_t kMaxFieldBytes = 999;
  // Longest error text, in bytes.
  static constexpr std::size_t kMaxErrorBytes = 999;

  TagManager() = default;
  TagManager(const TagManager&) = delete;
  TagManager& operator=(const TagManager&) = delete;

  // Reads the tag file at `path` (a native path). If it cannot be opened or read: the
  // error "<path> 파일을 열 수 없습니다." and the tag set is unchanged. Otherwise the old
  // content is replaced, the set is marked loaded and the parse result is returned; a
  // parse that stops at an error keeps the entries read before it, but leaves the flat
  // level-2 and level-3 lists empty. A file that looks like UTF-8, UTF-16 or binary data
  // (judged from its start, before it is read whole), an empty file and a file that yields
  // no level-2 tag at all are errors that leave the set loaded and empty.
  [[nodiscard]] TagLoadResult Load(const std::string& path);

  // True once Load has opened a file, also when its parse failed.
  [[nodiscard]] bool IsLoaded() const { return loaded_; }

  // step 1: the classes (each with its items and their sub-items); step 2: every level-2
  // item in tree order; step 3: every level-3 item in tree order. The flat lists hold
  // copies without children. Any other step: nullptr.
  [[nodiscard]] const std::vector<TagNode>* GetClassList(int step) const;

  // First node, depth first in file order, whose name equals `name` at `level`
  // (0 = any level, 1-3 = that level only); nullptr if none or for another level.
  // Names are compared with every blank (0x20) ignored on both sides; tabs count.
  [[nodiscard]] const TagNode* FindEntry(std::string_view name, int level = 0) const;

  // First level-2 or level-3 node with that tag (compared upper-cased, blanks ignored):
  // level 0 tests both, 2 only items, 3 only sub-items; 1 and any other level find nothing.
  [[nodiscard]] const TagNode* FindTag(std::string_view tag, int level = 0) const;

  // Appends to `into` the tags under the entry named `name`:
  //  level 1: the tags of each of the class's items, each item looked up again by name;
  //  level 2: the first item of that name: its sub-items' tags, or its own if it has none;
  //  level 3: the first sub-item of that name: its tag.
  // A name not found, or another level, appends nothing.
  void CollectTags(std::string_view name, int level, std::vector<std::string>& into) const;

  // The tag lists, each as a new list (a tag file with more than 100 tags loses none).
  [[nodiscard]] std::vector<std::string> AllTags() const;         // every class, file order
  [[nodiscard]] std::vector<std::string> ContentTags() const;     // content-word tags
  [[nodiscard]] std::vector<std::string> RelationalTags() const;  // relational, dependent forms
  [[nodiscard]] std::vector<std::string> MarkerSymbols() const;   // "*", "&", "#", "@", "%"

 private:
  class Parser;

  // A node and its place in depth-first file order.
  struct Indexed {
    const TagNode* node = nullptr;
    std::size_t order = 0;
  };
  using Index = std::unordered_map<std::string, Indexed>;

  void clear();
  void rebuildFlatLists();
  // The first node of every name (per level) and of every tag (levels 2 and 3), keyed
  // with blanks removed, so that a look-up is one hash probe and the tag lists are linear
  // in the tag file, however many items it holds.
  void rebuildIndex();
  [[nodiscard]] static const Indexed* lookUp(const Index& index, const std::string& key);
  [[nodiscard]] static const TagNode* firstOf(std::initializer_list<const Indexed*> found);

  std::vector<TagNode> classes_;
  std::vector<TagNode> level2_;  // flat copies, rebuilt after a successful parse
  std::vector<TagNode> level3_;
  Index byName_[3];  // levels 1, 2, 3
  Index byTag_[2];   // levels 2, 3 (tags upper-cased)
  bool loaded_ = false;
};

// True when `a` and `b` are byte-for-byte equal once every blank (0x20) is removed from
// both. Allocation-free; a blank is never the second byte of a CP949 character, so
// skipping blanks byte by byte cannot split one.
[[nodiscard]] bool TagNamesEqual(std::string_view a, std::string_view b);

}  // namespace selvanor
