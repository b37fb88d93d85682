// The entry list of a statistics run from the corpus manager's tree: what the selection
// step ("분석 문헌 관리", 계 속) and the command line's document list hand the run.
#pragma once

#include <string>
#include <vector>

#include "stats/statistics_request.h"
#include "store/corpus/document_list.h"

namespace selvanor {
class TagManager;
}

namespace selvanor::stats {

// The entries of the selected `nodes`, taken in the order given (the tree's display
// order): a selected group stands for a folder entry followed by all its documents, as
// the corpus manager's other batch work treats a group; a selected document is preceded
// by a folder entry of its group whenever that group is not the one of the last folder
// entry. Groups are told apart by their place, so two groups of one name stay two
// folders. A document both selected and reached through its group is listed twice in
// that folder, which the run counts once.
[[nodiscard]] std::vector<RunEntry> entriesFromSelection(const corpus::DocumentList& list,
                                                         const std::vector<corpus::NodeRef>& nodes);

// Every group of the list in list order (only those whose CP949 name is in `groupNames`,
// when it is not empty) as a folder entry followed by its documents.
[[nodiscard]] std::vector<RunEntry> entriesFromGroups(const corpus::DocumentList& list,
                                                      const std::vector<std::string>& groupNames);

// The scope tags of run or listing type `type` as the tag set gives them: AllTags for 1
// and 2, ContentTags for 3 and 4, RelationalTags for 6 and 7; empty for type 5, whose
// tags the user picks. Repeats dropped.
[[nodiscard]] std::vector<std::string> scopeTagsForType(const TagManager& tags, int type);

}  // namespace selvanor::stats
