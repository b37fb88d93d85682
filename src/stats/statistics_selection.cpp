#include "stats/statistics_selection.h"

#include <algorithm>
#include <optional>

#include "stats/tag_manager.h"

namespace selvanor::stats {
namespace {

void appendGroup(const corpus::ListGroup& group, std::vector<RunEntry>& entries) {
  entries.push_back({RunEntry::Folder, group.name});
  for (const corpus::ListDocument& d : group.documents) {
    entries.push_back({RunEntry::Document, d.path});
  }
}

}  // namespace

std::vector<RunEntry> entriesFromSelection(const corpus::DocumentList& list,
                                           const std::vector<corpus::NodeRef>& nodes) {
  std::vector<RunEntry> entries;
  std::optional<std::size_t> lastFolder;
  for (const corpus::NodeRef& node : nodes) {
    const corpus::ListGroup& group = list.group(node.group);
    if (node.isGroup()) {
      appendGroup(group, entries);
    } else {
      if (lastFolder != node.group) entries.push_back({RunEntry::Folder, group.name});
      entries.push_back({RunEntry::Document, list.document(node).path});
    }
    lastFolder = node.group;
  }
  return entries;
}

std::vector<RunEntry> entriesFromGroups(const corpus::DocumentList& list,
                                        const std::vector<std::string>& groupNames) {
  std::vector<RunEntry> entries;
  for (const corpus::ListGroup& g : list.groups()) {
    const bool wanted = groupNames.empty() ||
                        std::find(groupNames.begin(), groupNames.end(), g.name) != groupNames.end();
    if (wanted) appendGroup(g, entries);
  }
  return entries;
}

std::vector<std::string> scopeTagsForType(const TagManager& tags, int type) {
  switch (type) {
    case 1:
    case 2: return uniqueTags(tags.AllTags());
    case 3:
    case 4: return uniqueTags(tags.ContentTags());
    case 6:
    case 7: return uniqueTags(tags.RelationalTags());
    default: return {};
  }
}

}  // namespace selvanor::stats
