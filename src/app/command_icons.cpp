#include "app/command_icons.h"

#include <QPixmap>

#include "app/command_table.h"

// The resource lives in a static library: register it before the first use.
static void registerCommandIcons() {
  static const bool done = [] {
    Q_INIT_RESOURCE(command_icons);
    return true;
  }();
  (void)done;
}

namespace selvanor {
namespace {

struct IconName {
  int id;
  const char* theme;  // freedesktop.org icon name, or nullptr
  const char* file;   // data/icons/<file>.png
};

constexpr IconName kIcons[] = {
    {cmd::kManageDocuments, nullptr, "manage-documents"},
    {cmd::kBuildDocument, "document-new", "build-document"},
    {cmd::kOpenDocument, "document-open", "open-document"},
    {cmd::kCloseDocument, "document-close", "close-document"},
    {cmd::kModifyDocuments, nullptr, "modify-documents"},
    {cmd::kMergeDocuments, nullptr, "merge-documents"},
    {cmd::kAutoCorrect, nullptr, "auto-correct"},
    {cmd::kHomonymCorrect, nullptr, "homonym-correct"},
    {cmd::kStartAnalysis, "media-playback-start", "start-analysis"},
    {cmd::kSearch, "edit-find", "search"},
    {cmd::kBuildReference, nullptr, "build-reference"},
    {cmd::kBuildStatistics, nullptr, "build-statistics"},
    {cmd::kWorkErrorCheck, "tools-check-spelling", "work-error-check"},
    {cmd::kHomonymReview, nullptr, "homonym-review"},
    {cmd::kReviewInDocument, nullptr, "review-in-document"},
    {cmd::kCompareWithReference, nullptr, "compare-with-reference"},
    {cmd::kRunStatistics, nullptr, "run-statistics"},
    {cmd::kBuildHomonymDictionary, nullptr, "build-homonym-dictionary"},
    {cmd::kMergeHomonymDictionaries, nullptr, "merge-homonym-dictionaries"},
    {cmd::kSaveHomonymText, nullptr, "save-homonym-text"},
    {cmd::kMergeUnregistered, nullptr, "merge-unregistered"},
    {cmd::kSaveUnregisteredText, nullptr, "save-unregistered-text"},
    {cmd::kClearErrorLog, "edit-clear", "clear-error-log"},
    {cmd::kSaveErrorLog, "document-save", "save-error-log"},
    {cmd::kMergeReferences, nullptr, "merge-references"},
    {cmd::kSaveReferenceText, nullptr, "save-reference-text"},
    {cmd::kSettings, "preferences-system", "settings"},
    {cmd::kUserGuide, "help-contents", "user-guide"},
    {cmd::kAbout, "help-about", "about"},
    {cmd::kStatsVocabulary, nullptr, "stats-vocabulary"},
    {cmd::kStatsVocabularyTags, nullptr, "stats-vocabulary-tags"},
    {cmd::kStatsContentVocabulary, nullptr, "stats-content-vocabulary"},
    {cmd::kStatsContentVocabularyTags, nullptr, "stats-content-vocabulary-tags"},
    {cmd::kStatsTags, nullptr, "stats-tags"},
};

QIcon bundled(const char* file) {
  registerCommandIcons();
  return QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(file)));
}

QIcon themedOrBundled(const char* theme, const char* file) {
  if (theme) {
    // A theme may list a name it cannot draw (a scalable file without its image
    // plug-in): only a theme icon that gives a picture is taken.
    const QIcon themed = QIcon::fromTheme(QLatin1String(theme));
    if (!themed.isNull() && !themed.pixmap(16, 16).isNull()) return themed;
  }
  return bundled(file);
}

}  // namespace

QIcon commandIcon(int id) {
  for (const IconName& name : kIcons) {
    if (name.id == id) return themedOrBundled(name.theme, name.file);
  }
  return {};
}

QIcon undoIcon() { return themedOrBundled("edit-undo", "undo"); }

QIcon redoIcon() { return themedOrBundled("edit-redo", "redo"); }

QIcon programIcon() { return bundled("selvanor"); }

}  // namespace selvanor
