#include "store/corpus/document_list.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "common/cp949.h"
#include "common/derived_paths.h"
#include "common/encoding.h"
#include "common/files.h"
#include "common/text_kind.h"

namespace selvanor::corpus {
namespace {

bool canOpenForReading(const std::string& path) {
  return !path.empty() && openFile(path, "rb") != nullptr;
}

// The sort key of "목록 정리": the CP949 bytes with ASCII letters in lower case where they
// stand as one-byte characters (the second byte of a two-byte character keeps its case).
std::string caseBlindKey(std::string key) {
  for (std::size_t i = 0; i < key.size(); i = cp949::nextChar(key, i)) {
    if (cp949::isLetterAt(key, i) && cp949::isAsciiUpper(key[i])) {
      key[i] = static_cast<char>(key[i] - 'A' + 'a');
    }
  }
  return key;
}

// The path as the list file holds it (CP949); the bytes a foreign line came with.
std::optional<std::string> fileBytes(const ListDocument& d, std::string* offending) {
  if (d.undecodedBytes) return d.undecodedBytes;
  encoding::Conversion c = encoding::utf8ToCp949(d.path);
  if (!c) {
    if (offending) *offending = c.offending;
    return std::nullopt;
  }
  return std::move(c.text);
}

}  // namespace

DocumentStatus documentStatus(const std::string& document) {
  const bool reference = canOpenForReading(derived::referenceFile(document));
  const bool statistics = canOpenForReading(derived::statisticsFile(document));
  if (reference && statistics) return DocumentStatus::ReferenceAndStatistics;
  if (statistics) return DocumentStatus::Statistics;
  if (reference) return DocumentStatus::Reference;
  return DocumentStatus::None;
}

ListDocument DocumentList::makeDocument(std::string path) const {
  ListDocument d;
  d.path = std::move(path);
  d.status = documentStatus(d.path);
  return d;
}

ListResult DocumentList::load(const std::string& listFile, bool createIfMissing) {
  groups_.clear();
  report_ = LoadReport{};
  if (createIfMissing && !fileExists(listFile)) {
    // The dialog makes an absent list, so that "확 인" has somewhere to save.
    FilePtr made = openFile(listFile, "ab");
    if (!made) return {ListStatus::kCannotOpen, {}, {}};
  }
  LineReader reader(listFile);
  if (!reader.isOpen()) return {ListStatus::kCannotOpen, {}, {}};
  // Read on, its paths would be kept as undecoded bytes and shown as garbage.
  if (auto foreign = text::describeForeignFile(listFile)) {
    report_.foreignText = std::move(*foreign);
    return {ListStatus::kCannotOpen, {}, {}};
  }
  while (auto line = reader.next()) {
    if (line->empty()) continue;
    const std::string_view text = line->substr(1);
    if ((*line)[0] == '1') {
      ListGroup g;
      g.name = std::string(text);
      groups_.push_back(std::move(g));
      continue;
    }
    if ((*line)[0] != '2') ++report_.unmarkedLines;
    if (groups_.empty()) {
      ++report_.droppedBeforeFirstGroup;
      continue;
    }
    encoding::Conversion c = encoding::cp949ToUtf8(text);
    ListDocument d;
    if (c) {
      d = makeDocument(std::move(*c.text));
    } else {
      // Not CP949: keep the bytes as the path (a native name may well be such bytes) and
      // write them back unchanged, so nothing of the list is lost.
      ++report_.undecodedLines;
      d = makeDocument(std::string(text));
      d.undecodedBytes = std::string(text);
    }
    groups_.back().documents.push_back(std::move(d));
  }
  if (reader.failed()) {
    groups_.clear();
    return {ListStatus::kCannotOpen, {}, {}};
  }
  return {};
}

ListResult DocumentList::save(const std::string& listFile) const {
  std::string text;
  for (const ListGroup& g : groups_) {
    text += '1';
    text += g.name;
    text += '\n';
    for (const ListDocument& d : g.documents) {
      std::string offending;
      std::optional<std::string> bytes = fileBytes(d, &offending);
      if (!bytes) return {ListStatus::kUnencodablePath, d.path, offending};
      text += '2';
      text += *bytes;
      text += '\n';
    }
  }
  FileReplacement target(listFile);
  FilePtr out = openFile(target.temporaryPath(), "wb");
  if (!out) return {ListStatus::kCannotWrite, {}, {}};
  const bool written = std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
  if (!written || std::fclose(out.release()) != 0 || !target.commit()) {
    return {ListStatus::kCannotWrite, {}, {}};
  }
  return {};
}

bool DocumentList::contains(std::string_view path) const {
  return std::any_of(groups_.begin(), groups_.end(), [&](const ListGroup& g) {
    return std::any_of(g.documents.begin(), g.documents.end(),
                       [&](const ListDocument& d) { return d.path == path; });
  });
}

std::size_t DocumentList::addGroup(std::string nameCp949) {
  ListGroup g;
  g.name = std::move(nameCp949);
  groups_.push_back(std::move(g));
  return groups_.size() - 1;
}

std::optional<std::size_t> DocumentList::targetGroup() const {
  const std::optional<NodeRef> first = firstSelected();
  if (!first) return std::nullopt;
  return first->group;
}

AddReport DocumentList::addDocuments(std::size_t g, const std::vector<std::string>& paths) {
  AddReport report;
  ListGroup& target = groups_.at(g);
  std::unordered_set<std::string> listed;
  for (const ListGroup& group : groups_) {
    for (const ListDocument& d : group.documents) listed.insert(d.path);
  }
  for (const std::string& path : paths) {
    if (listed.count(path)) {
      report.alreadyListed.push_back(path);
      continue;
    }
    if (encoding::Conversion c = encoding::utf8ToCp949(path); !c) {
      report.unencodable.push_back({path, c.offending});
      continue;
    }
    listed.insert(path);
    target.documents.push_back(makeDocument(path));
    report.added.push_back(path);
  }
  target.expanded = true;
  return report;
}

std::size_t DocumentList::removeSelected() {
  std::size_t removed = 0;
  for (auto g = groups_.begin(); g != groups_.end();) {
    if (g->selected) {
      removed += 1 + g->documents.size();
      g = groups_.erase(g);
      continue;
    }
    auto& docs = g->documents;
    // The documents of a collapsed group are not visibly selected.
    if (!g->expanded) {
      ++g;
      continue;
    }
    const auto keep =
        std::remove_if(docs.begin(), docs.end(), [](const ListDocument& d) { return d.selected; });
    removed += static_cast<std::size_t>(docs.end() - keep);
    docs.erase(keep, docs.end());
    ++g;
  }
  return removed;
}

std::vector<std::string> DocumentList::cleanUp() {
  std::vector<std::string> dropped;
  for (ListGroup& g : groups_) {
    // Paths sort as the list file holds them (CP949), so the order is the one the list
    // has always had; a path without a CP949 form sorts by its own bytes.
    std::vector<std::pair<std::string, ListDocument>> keyed;
    keyed.reserve(g.documents.size());
    for (ListDocument& d : g.documents) {
      std::string key = caseBlindKey(fileBytes(d, nullptr).value_or(d.path));
      keyed.emplace_back(std::move(key), std::move(d));
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    g.documents.clear();
    for (auto& [key, d] : keyed) {
      if (!fileExists(d.path)) {
        dropped.push_back(d.path);
        continue;
      }
      d.status = documentStatus(d.path);
      g.documents.push_back(std::move(d));
    }
    g.expanded = true;
  }
  return dropped;
}

void DocumentList::refreshStatus(const NodeRef& node) {
  ListDocument& d = groups_.at(node.group).documents.at(node.document.value());
  d.status = documentStatus(d.path);
}

void DocumentList::refreshAllStatus() {
  for (ListGroup& g : groups_) {
    for (ListDocument& d : g.documents) d.status = documentStatus(d.path);
  }
}

void DocumentList::setExpanded(std::size_t g, bool expanded) { groups_.at(g).expanded = expanded; }

void DocumentList::expandAll() {
  for (ListGroup& g : groups_) g.expanded = true;
}

void DocumentList::select(const NodeRef& node, bool selected) {
  ListGroup& g = groups_.at(node.group);
  if (node.isGroup()) {
    g.selected = selected;
  } else {
    g.documents.at(*node.document).selected = selected;
  }
}

void DocumentList::clearSelection() {
  for (ListGroup& g : groups_) {
    g.selected = false;
    for (ListDocument& d : g.documents) d.selected = false;
  }
}

std::vector<NodeRef> DocumentList::selectedNodes() const {
  std::vector<NodeRef> out;
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    if (groups_[g].selected) out.push_back({g, std::nullopt});
    if (!groups_[g].expanded) continue;
    for (std::size_t d = 0; d < groups_[g].documents.size(); ++d) {
      if (groups_[g].documents[d].selected) out.push_back({g, d});
    }
  }
  return out;
}

std::optional<NodeRef> DocumentList::firstSelected() const {
  const std::vector<NodeRef> nodes = selectedNodes();
  if (nodes.empty()) return std::nullopt;
  return nodes.front();
}

std::optional<std::string> DocumentList::documentToOpen() const {
  const std::optional<NodeRef> first = firstSelected();
  if (!first || first->isGroup()) return std::nullopt;
  return document(*first).path;
}

std::vector<NodeRef> DocumentList::jobDocuments() const {
  std::vector<NodeRef> out;
  for (const NodeRef& n : selectedNodes()) {
    if (!n.isGroup()) {
      out.push_back(n);
      continue;
    }
    for (std::size_t d = 0; d < groups_[n.group].documents.size(); ++d) out.push_back({n.group, d});
  }
  return out;
}

std::vector<NodeRef> DocumentList::selectedDocuments() const {
  std::vector<NodeRef> out;
  for (const NodeRef& n : selectedNodes()) {
    if (!n.isGroup()) out.push_back(n);
  }
  return out;
}

std::vector<JobFailure> DocumentList::runBuildJob(
    const std::function<ResultCode(const std::string&)>& process) {
  std::vector<JobFailure> failures;
  for (const NodeRef& n : jobDocuments()) {
    const std::string path = document(n).path;
    const ResultCode rc = process(path);
    refreshStatus(n);
    if (rc != result::kOk) failures.push_back({path, rc});
  }
  return failures;
}

std::string loadFailedMessage(const std::string& listFile) { return listFile + " 생성 실패"; }

std::string loadFailedMessage(const std::string& listFile, const LoadReport& report) {
  return text::withHint(loadFailedMessage(listFile), report.foreignText);
}

std::vector<std::string> loadNotices(const LoadReport& report) {
  std::vector<std::string> notices;
  if (report.droppedBeforeFirstGroup > 0) {
    notices.push_back("첫 그룹 앞에 있는 문헌 " + std::to_string(report.droppedBeforeFirstGroup) +
                      "개는 목록에 넣지 않았습니다.");
  }
  if (report.undecodedLines > 0) {
    notices.push_back("CP949가 아닌 경로 " + std::to_string(report.undecodedLines) +
                      "개는 파일에 있는 그대로 두었습니다.");
  }
  return notices;
}

std::string refusedPathMessage(const RefusedPath& refused) {
  return encoding::unencodableMessage(refused.offending) + " [" + refused.path + "]";
}

std::string saveFailedMessage(const std::string& listFile, const ListResult& r) {
  if (r.status == ListStatus::kUnencodablePath) {
    return refusedPathMessage({r.path, r.offending}) + "\n" + listFile + " 저장 실패";
  }
  return listFile + " 저장 실패";
}

std::string jobOutcomeMessage(std::string_view closing, const std::vector<JobFailure>& failures) {
  std::string out(closing);
  if (failures.empty()) return out;
  out += '\n';
  out += msg::kFailedDocuments;
  for (const JobFailure& f : failures) {
    out += '\n';
    out += f.path;
  }
  return out;
}

}  // namespace selvanor::corpus
