// Single-document statistics listings (the toolbar's 전체통계, 실질어통계 and 품사 표지 통계):
// one listing per selected document, read from its statistics file without merging,
// written one after another into the output file, each headed by its document's path.
//
//   tagged (types 2, 4):  "MORPHEME\tTAG\tCOUNT\tPERCENT %\n" per record, tag by tag in
//                         list order, morphemes in key order
//   ranged (type 5):      the same, only morphemes whose first syllable is in the range
//   vocabulary (1, 3):    "ITEM\tCOUNT\tPERCENT %\n", counts summed over the tags
// then "\n\n전체 어휘수:N, 전체 빈도:TOTAL, 전체 백분율 합계:SUM %\n\n\n". Percentages are
// count / total x 100 in single precision printed with five decimals; SUM adds the printed
// ones in single precision; N counts the printed lines; TOTAL counts every record of the
// tags (the range does not narrow it).
#pragma once

#include <string>
#include <vector>

#include "common/progress.h"
#include "stats/consonant_range.h"
#include "stats/count_table.h"
#include "stats/statistics_request.h"

namespace selvanor::stats {

struct ListingRequest {
  int type = 2;                        // 1-5
  std::vector<std::string> documents;  // native paths, in order
  std::vector<std::string> tags;       // AllTags, ContentTags or the picked tags
  SyllableRange range;                 // type 5
  std::string outputPath;
};

// The heading line of one document's listing (`documentCp949` is its path in CP949).
[[nodiscard]] std::string listingHeading(const std::string& documentCp949);

// One listing (CP949 text) of a document's counts as read from its statistics file: the
// tags' columns (mergeTongDB) for a tagged listing, whose rows `range` narrows when
// given; the vocabulary column (getUhweTong) for a vocabulary listing.
[[nodiscard]] std::string taggedListing(const CountTable& counts,
                                        const std::vector<std::string>& tags,
                                        const SyllableRange* range = nullptr);
[[nodiscard]] std::string vocabularyListing(const CountTable& counts);

// Writes every document's listing into the output file (beside it, then renamed). A
// document whose statistics file cannot be read stops the command with -700 and
// "통계용 파일을 먼저 만드십시요 [DOCUMENT]" (or the cause), writing nothing; an
// unwritable output gives -600; a type outside 1-5, no tags or no type-5 range gives -1.
// `progress` is told the tags read and documents listed (one unit per tag and one per
// listing of each document); asked to stop, kRunCancelled with msg::kCancelled, nothing
// written and an earlier output file kept.
[[nodiscard]] RunOutcome writeStatisticsListings(const ListingRequest& request,
                                                 const selvanor::ProgressFn& progress = {});

}  // namespace selvanor::stats
