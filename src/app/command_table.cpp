#include "app/command_table.h"

namespace selvanor {

const std::vector<CommandSpec>& commandTable() {
  using N = CommandNeed;
  static const std::vector<CommandSpec> table = {
      {cmd::kBuildDocument, "문헌 관리", "분석 문헌 만들기", "분석문헌을 만듭니다.\n분석문헌 만들기", N::None, true},
      {cmd::kOpenDocument, "문헌 관리", "작업 문헌 열기", "작업문헌 열기.\n작업문헌열기", N::None, true},
      {cmd::kCloseDocument, "문헌 관리", "작업 문헌 닫기", "작업문헌을 닫습니다.\n작업문헌닫기", N::ChosenDocument, true},
      {cmd::kManageDocuments, "문헌 관리", "분석 문헌 관리", "분석문헌을 관리합니다.\n분석문헌관리", N::None, true},
      {cmd::kModifyDocuments, "문헌 관리", "분석 문헌 수정", "분석문헌을 수정합니다.\n분석문헌수정", N::HomonymAndTags, true},
      {cmd::kMergeDocuments, "문헌 관리", "분석문헌 합치기", nullptr, N::None, true},
      {cmd::kAutoCorrect, "전처리", "형태소->단어", "자동 목록 파일을 이용 분석문헌을 수정합니다.\n형태소->단어", N::Document, true},
      {cmd::kHomonymCorrect, "전처리", "동음어 수정", "분석문헌에서 동음어를 수정합니다.\n동음어 수정", N::DocumentAndHomonym, true},
      {cmd::kStartAnalysis, "어절 분석", "분석 시작", "분석문헌을 수동 편집합니다.\n분석시작", N::ChosenDocument, true},
      {cmd::kSearch, "어절 분석", "검 색(Ctrl+F)", nullptr, N::GridLoaded, true},
      {cmd::kBuildReference, "어절 분석", "참조 파일 생성", "분석 참조 검색 파일을 만듭니다.\n분석참조파일 만들기", N::Document, true},
      {cmd::kBuildStatistics, "어절 분석", "통계 파일 생성", "통계용 파일을 만듭니다.\n통계용파일 만들기", N::Document, true},
      {cmd::kWorkErrorCheck, "후처리", "작업 오류 수정", "작업 오류를 검사합니다.\n자동 오류 검사", N::Document, true},
      {cmd::kHomonymReview, "후처리", "동음어 재검토", nullptr, N::DocumentAndHomonym, true},
      {cmd::kReviewInDocument, "후처리/분석 재검토", "작업 파일 내 재검토", nullptr, N::Document, true},
      {cmd::kCompareWithReference, "후처리/분석 재검토", "참조 파일과 비교", nullptr, N::None, true},
      {cmd::kRunStatistics, "통계", "통계 실행", nullptr, N::None, true},
      {cmd::kBuildHomonymDictionary, "목록 관리/동음어 사전 관리", "만들기", "동음어 사전을 새로이 생성합니다.\n동음어사전 만들기", N::None, true},
      {cmd::kMergeHomonymDictionaries, "목록 관리/동음어 사전 관리", "사전 합치기", "동음어 사전을 서로 합칩니다.\n동음어사전 합치기", N::None, true},
      {cmd::kSaveHomonymText, "목록 관리/동음어 사전 관리", "텍스트 저장", nullptr, N::Homonym, true},
      {cmd::kMergeUnregistered, "목록 관리/미등재어 사전 관리", "사전 합치기", "미등재어 사전을 서로 합칩니다.\n미등재어사전 합치기", N::None, true},
      {cmd::kSaveUnregisteredText, "목록 관리/미등재어 사전 관리", "텍스트 저장", nullptr, N::UnregisteredDictionary, true},
      {cmd::kClearErrorLog, "목록 관리/오류 기록창 관리", "화면 지우기", "오류창의 내용을 지웁니다.\n오류창 지우기", N::None, true},
      {cmd::kSaveErrorLog, "목록 관리/오류 기록창 관리", "저장 하기", "오류창의 내용을 파일로 저장합니다.\n오류창 저장하기", N::None, true},
      {cmd::kMergeReferences, "목록 관리/참조 파일 관리", "합치기", nullptr, N::None, true},
      {cmd::kSaveReferenceText, "목록 관리/참조 파일 관리", "텍스트 저장", nullptr, N::None, true},
      {cmd::kSettings, "환경 설정", "환경 설정", "동음어사전, 미등재어 사전정보를 설정합니다.\n환경설정", N::None, true},
      {cmd::kUserGuide, "도움말(&H)", "사용 설명서(&G)", "사용 설명서를 엽니다\n사용 설명서 (F1)", N::None, true},
      {cmd::kAbout, "도움말(&H)", "selvanor 정보(&A)...", "프로그램 정보와 버전 정보, 저작권 정보를 표시합니다\n정보", N::None, true},
      {cmd::kStatsVocabulary, nullptr, nullptr, "전체 통계(어휘) 분석하기\n전체통계(어휘)", N::None, true},
      {cmd::kStatsVocabularyTags, nullptr, nullptr, "전체 통계(어휘+품사표지) 분석하기\n전체통계(어휘+품사표지)", N::None, true},
      {cmd::kStatsContentVocabulary, nullptr, nullptr, "실질어통계(어휘) 분석하기\n실질어통계(어휘)", N::None, true},
      {cmd::kStatsContentVocabularyTags, nullptr, nullptr, "실질어통계(어휘+품사표지) 분석하기\n실질어통계(어휘+품사표지)", N::None, true},
      {cmd::kStatsTags, nullptr, nullptr, "품사표지 통계 분석하기\n품사 표지 통계", N::None, true},
  };
  return table;
}

const CommandSpec* findCommand(int id) {
  for (const auto& c : commandTable()) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const std::vector<int>& toolbarLayout() {
  static const std::vector<int> layout = {
      cmd::kManageDocuments, cmd::kBuildDocument, cmd::kOpenDocument, cmd::kCloseDocument,
      cmd::kModifyDocuments, 0, cmd::kAutoCorrect, cmd::kHomonymCorrect, cmd::kBuildReference, 0,
      cmd::kStartAnalysis, 0, cmd::kWorkErrorCheck, cmd::kBuildStatistics, 0,
      cmd::kStatsVocabulary, cmd::kStatsVocabularyTags, cmd::kStatsContentVocabulary,
      cmd::kStatsContentVocabularyTags, cmd::kStatsTags, 0, cmd::kBuildHomonymDictionary,
      cmd::kMergeHomonymDictionaries, cmd::kMergeUnregistered, 0, cmd::kClearErrorLog,
      cmd::kSaveErrorLog, 0, cmd::kSettings, cmd::kAbout};
  return layout;
}

const std::vector<const char*>& menuOrder() {
  static const std::vector<const char*> order = {"문헌 관리", "전처리", "어절 분석", "후처리",
                                                 "통계", "목록 관리", "보기", "환경 설정",
                                                 "도움말(&H)"};
  return order;
}

}  // namespace selvanor
