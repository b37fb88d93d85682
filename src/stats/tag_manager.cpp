#include "stats/tag_manager.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "common/cp949.h"
#include "common/encoding.h"
#include "common/files.h"
#include "common/text_kind.h"

namespace selvanor {
namespace {

constexpr char kEndByte = '\xFF';  // ends the parse outside an entry, a field inside one

// Trimmed copy of a raw field; a CR standing before an LF inside it belongs to a CR LF
// line end and is dropped, as a text-mode read would.
std::string cleanField(std::string_view raw, bool upperCase) {
  const std::string_view t = cp949::trim(raw);
  std::string out;
  out.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') continue;
    out.push_back(t[i]);
  }
  if (upperCase) cp949::toUpperAscii(out);
  return out;
}

}  // namespace

bool TagNamesEqual(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  for (;;) {
    while (i < a.size() && a[i] == ' ') ++i;
    while (j < b.size() && b[j] == ' ') ++j;
    if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
    if (a[i] != b[j]) return false;
    ++i;
    ++j;
  }
}

// Reads the tag file's bytes into the owner's class tree.
class TagManager::Parser {
 public:
  Parser(std::string_view text, TagManager& owner) : text_(text), owner_(owner) {}

  // Why run() stopped (UTF-8), cut at a character start to kMaxErrorBytes.
  const std::string& error() const { return error_; }

  bool run() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == kEndByte) return true;
      if (c != '#') {
        pos_ = cp949::nextChar(text_, pos_);
        continue;
      }
      ++pos_;
      const char level = pos_ < text_.size() ? text_[pos_] : '\0';
      if (level != '1' && level != '2' && level != '3') {
        fail("#이후에 1,2,3 이외의 문자가 나옴..");
        return false;
      }
      ++pos_;
      if (level == '1') {
        if (!addClass()) return false;
      } else if (!addItem(level - '0')) {
        return false;
      }
    }
    return true;
  }

 private:
  // Raw bytes up to `terminator` or 0xFF (consumed) or the end of the text.
  std::string_view readField(char terminator) {
    const std::size_t start = pos_;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == terminator || c == kEndByte) {
        const std::string_view field = text_.substr(start, pos_ - start);
        ++pos_;
        return field;
      }
      pos_ = cp949::nextChar(text_, pos_);
    }
    return text_.substr(start);
  }

  bool checkLength(const std::string& field, std::size_t fieldStart) {
    if (field.size() <= kMaxFieldBytes) return true;
    std::size_t line = 1;
    for (std::size_t i = 0; i < fieldStart; ++i) {
      if (text_[i] == '\n') ++line;
    }
    fail("태그 파일 " + std::to_string(line) + "번째 줄: 이름이나 태그가 " +
                    std::to_string(kMaxFieldBytes) + "바이트보다 깁니다.");
    return false;
  }

  bool addClass() {
    const std::size_t start = pos_;
    std::string name = cleanField(readField('\n'), false);
    if (!checkLength(name, start)) return false;
    owner_.classes_.push_back(TagNode{1, std::move(name), {}, {}});
    currentClass_ = owner_.classes_.size() - 1;
    return true;
  }

  bool addItem(int level) {
    const std::size_t nameStart = pos_;
    std::string name = cleanField(readField('/'), false);  // may run across line ends
    const std::size_t tagStart = pos_;
    std::string tag = cleanField(readField('\n'), true);
    if (!checkLength(name, nameStart) || !checkLength(tag, tagStart)) return false;

    TagNode node{level, std::move(name), std::move(tag), {}};
    if (level == 2) {
      if (!currentClass_) {
        fail("레벨 1값이 입력되지 않은 상태에서 레벨2가 입력..");
        return false;
      }
      auto& items = owner_.classes_[*currentClass_].children;
      items.push_back(std::move(node));
      currentItem_ = std::make_pair(*currentClass_, items.size() - 1);
      return true;
    }
    if (level == 3) {
      // The current item survives a new class line: a "#3" right after "#1" joins the
      // last item of the previous class.
      if (!currentItem_) {
        fail("레벨 2값이 입력되지 않은 상태에서 레벨3가 입력..");
        return false;
      }
      owner_.classes_[currentItem_->first].children[currentItem_->second].children.push_back(
          std::move(node));
      return true;
    }
    fail("잘못된 레벨 값이 입력되었습니다.");
    return false;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  TagManager& owner_;
  std::string error_;

  void fail(std::string message) {
    if (message.size() > kMaxErrorBytes) {
      std::size_t n = kMaxErrorBytes;
      while (n > 0 && (static_cast<unsigned char>(message[n]) & 0xC0) == 0x80) --n;
      message.resize(n);
    }
    error_ = std::move(message);
  }
  // Indices, not pointers: appending to the vectors moves their elements.
  std::optional<std::size_t> currentClass_;
  std::optional<std::pair<std::size_t, std::size_t>> currentItem_;
};

namespace {

enum class ReadOutcome { kRead, kUnreadable, kForeign };

// The whole file into `text`. Its start is judged first, so a UTF-16, UTF-8 or binary
// file (or an endless one such as /dev/zero) is refused before it is read to the end.
ReadOutcome readTagText(const std::string& path, std::string& text, std::string& hint) {
  FilePtr file = openFile(path, "rb");
  if (!file) return ReadOutcome::kUnreadable;
  std::string buffer(text::kSampleBytes, '\0');
  bool judged = false;
  std::size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
    text.append(buffer.data(), n);
    if (!judged) {
      judged = true;
      if (auto foreign = text::describeForeignText(text, n == buffer.size())) {
        hint = std::move(*foreign);
        return ReadOutcome::kForeign;
      }
    }
  }
  // e.g. a folder opens but cannot be read
  return std::ferror(file.get()) == 0 ? ReadOutcome::kRead : ReadOutcome::kUnreadable;
}

}  // namespace

TagLoadResult TagManager::Load(const std::string& path) {
  std::string text;
  std::string hint;
  const ReadOutcome read = readTagText(path, text, hint);
  if (read == ReadOutcome::kUnreadable) return {false, path + " 파일을 열 수 없습니다."};

  clear();
  loaded_ = true;
  if (read == ReadOutcome::kForeign) {
    return {false, text::withHint(path + " 파일을 태그 파일로 읽을 수 없습니다.", hint)};
  }
  Parser parser(text, *this);
  const bool parsed = parser.run();
  rebuildIndex();  // the entries read before an error still count
  if (!parsed) return {false, parser.error()};
  rebuildFlatLists();
  // An empty set would let every check flag every record as an unknown tag.
  if (level2_.empty()) {
    classes_.clear();
    rebuildIndex();
    return {false, cp949::trim(text).empty()
                       ? path + " 태그 파일이 비어 있습니다."
                       : path + " 태그 파일에서 태그를 하나도 읽지 못했습니다."};
  }
  return {true, std::string()};
}

void TagManager::clear() {
  classes_.clear();
  level2_.clear();
  level3_.clear();
  rebuildIndex();
  loaded_ = false;
}

void TagManager::rebuildIndex() {
  for (Index& index : byName_) index.clear();
  for (Index& index : byTag_) index.clear();
  std::size_t order = 0;
  // emplace keeps the first node of a key: later ones of the same name or tag never win.
  const auto add = [&order](Index& index, const std::string& key, const TagNode& node) {
    index.emplace(cp949::without(key, " "), Indexed{&node, order});
  };
  for (const TagNode& cls : classes_) {
    add(byName_[0], cls.name, cls);
    ++order;
    for (const TagNode& item : cls.children) {
      add(byName_[1], item.name, item);
      add(byTag_[0], item.tag, item);
      ++order;
      for (const TagNode& sub : item.children) {
        add(byName_[2], sub.name, sub);
        add(byTag_[1], sub.tag, sub);
        ++order;
      }
    }
  }
}

const TagManager::Indexed* TagManager::lookUp(const Index& index, const std::string& key) {
  const auto it = index.find(key);
  return it == index.end() ? nullptr : &it->second;
}

const TagNode* TagManager::firstOf(std::initializer_list<const Indexed*> found) {
  const Indexed* first = nullptr;
  for (const Indexed* f : found) {
    if (f && (!first || f->order < first->order)) first = f;
  }
  return first ? first->node : nullptr;
}

void TagManager::rebuildFlatLists() {
  level2_.clear();
  level3_.clear();
  for (const TagNode& cls : classes_) {
    for (const TagNode& item : cls.children) {
      level2_.push_back(TagNode{item.level, item.name, item.tag, {}});
      for (const TagNode& sub : item.children) {
        level3_.push_back(TagNode{sub.level, sub.name, sub.tag, {}});
      }
    }
  }
}

const std::vector<TagNode>* TagManager::GetClassList(int step) const {
  switch (step) {
    case 1:
      return &classes_;
    case 2:
      return &level2_;
    case 3:
      return &level3_;
    default:
      return nullptr;
  }
}

const TagNode* TagManager::FindEntry(std::string_view name, int level) const {
  if (level < 0 || level > 3) return nullptr;
  const std::string key = cp949::without(name, " ");
  if (level > 0) {
    const Indexed* found = lookUp(byName_[level - 1], key);
    return found ? found->node : nullptr;
  }
  return firstOf({lookUp(byName_[0], key), lookUp(byName_[1], key), lookUp(byName_[2], key)});
}

const TagNode* TagManager::FindTag(std::string_view tag, int level) const {
  if (level != 0 && level != 2 && level != 3) return nullptr;
  const std::string key = cp949::without(cp949::upperAscii(tag), " ");
  const Indexed* item = level == 3 ? nullptr : lookUp(byTag_[0], key);
  const Indexed* sub = level == 2 ? nullptr : lookUp(byTag_[1], key);
  return firstOf({item, sub});
}

void TagManager::CollectTags(std::string_view name, int level,
                             std::vector<std::string>& into) const {
  switch (level) {
    case 1:
      if (const TagNode* cls = FindEntry(name, 1)) {
        // Each item is looked up again by name, so of two same-named items in different
        // classes the first one in the file supplies the tags for both.
        for (const TagNode& item : cls->children) CollectTags(item.name, 2, into);
      }
      break;
    case 2:
      if (const TagNode* item = FindEntry(name, 2)) {
        if (item->children.empty()) {
          into.push_back(item->tag);
        } else {
          for (const TagNode& sub : item->children) into.push_back(sub.tag);
        }
      }
      break;
    case 3:
      if (const TagNode* sub = FindEntry(name, 3)) into.push_back(sub->tag);
      break;
    default:
      break;
  }
}

std::vector<std::string> TagManager::AllTags() const {
  std::vector<std::string> tags;
  for (const TagNode& cls : classes_) CollectTags(cls.name, 1, tags);
  return tags;
}

std::vector<std::string> TagManager::ContentTags() const {
  static const std::string kClasses[] = {
      encoding::cp949Literal("체언"), encoding::cp949Literal("용언"),
      encoding::cp949Literal("수식 언"), encoding::cp949Literal("독 립언")};
  // Extra tags counted as content words are listed under an item of this name.
  static const std::string kCountedItem = encoding::cp949Literal("통계가치가 있는 범주");
  std::vector<std::string> tags;
  for (const std::string& name : kClasses) CollectTags(name, 1, tags);
  CollectTags(kCountedItem, 2, tags);
  return tags;
}

std::vector<std::string> TagManager::RelationalTags() const {
  static const std::string kClasses[] = {encoding::cp949Literal("관계언"),
                                         encoding::cp949Literal("의존형태")};
  std::vector<std::string> tags;
  for (const std::string& name : kClasses) CollectTags(name, 1, tags);
  return tags;
}

std::vector<std::string> TagManager::MarkerSymbols() const { return {"*", "&", "#", "@", "%"}; }

}  // namespace selvanor
