// The main window's command vocabulary: ids, menu placement, captions, status-bar prompts
// and preconditions. The frame builds its menus and toolbar from this table.
#pragma once

#include <vector>

namespace selvanor {

namespace cmd {
enum : int {
  kBuildDocument = 32772,
  kOpenDocument = 32773,
  kCloseDocument = 32774,
  kManageDocuments = 32797,
  kModifyDocuments = 32807,
  kMergeDocuments = 32836,
  kAutoCorrect = 32775,
  kHomonymCorrect = 32776,
  kStartAnalysis = 32808,
  kSearch = 32834,
  kBuildReference = 32802,
  kBuildStatistics = 32806,
  kWorkErrorCheck = 32804,
  kHomonymReview = 32839,
  kReviewInDocument = 32841,
  kCompareWithReference = 32844,
  kRunStatistics = 32863,
  kBuildHomonymDictionary = 32818,
  kMergeHomonymDictionaries = 32826,
  kSaveHomonymText = 32832,
  kMergeUnregistered = 32827,
  kSaveUnregisteredText = 32833,
  kClearErrorLog = 32820,
  kSaveErrorLog = 32821,
  kMergeReferences = 32846,
  kSaveReferenceText = 32848,
  kSettings = 32817,
  kAbout = 57664,
  kUserGuide = 57670,
  kStatsVocabulary = 32812,
  kStatsVocabularyTags = 32798,
  kStatsContentVocabulary = 32799,
  kStatsContentVocabularyTags = 32800,
  kStatsTags = 32788,
};
}  // namespace cmd

// What a command needs before it runs (checked by the view in this order).
enum class CommandNeed {
  None,
  Document,              // a current document path
  DocumentAndHomonym,    // then the homonym dictionary path
  Homonym,               // the homonym dictionary path
  ChosenDocument,        // a chosen document (load the grid)
  GridLoaded,
  HomonymAndTags,        // homonym dictionary path, then a loaded tag set
  UnregisteredDictionary,
};

struct CommandSpec {
  int id;
  const char* menu;     // "문헌 관리", "목록 관리/동음어 사전 관리", ...; nullptr: toolbar only
  const char* caption;  // menu text; nullptr for toolbar-only commands
  const char* prompt;   // "status text\ntooltip", or nullptr
  CommandNeed need;
  bool available;       // false: the work behind it is not built yet, shown disabled
};

// Every command in menu order.
[[nodiscard]] const std::vector<CommandSpec>& commandTable();
[[nodiscard]] const CommandSpec* findCommand(int id);

// Toolbar buttons left to right; 0 stands for a separator.
[[nodiscard]] const std::vector<int>& toolbarLayout();

// The top-level menus in order.
[[nodiscard]] const std::vector<const char*>& menuOrder();

}  // namespace selvanor
