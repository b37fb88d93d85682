#include "app/application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>

#include "app/main_frame.h"
#include "ui_base/qt_text.h"
#include "app/selvanor_view.h"
#include "app_core/install_layout.h"
#include "app_core/settings.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

bool installKoreanQtTranslations() {
  static QTranslator* installed = nullptr;
  if (installed) return true;
  auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
  if (!translator->load(QStringLiteral("qtbase_ko"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  installed = translator.release();
  // Dates and sizes in the choosers as the texts around them: Korean.
  QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
  return QCoreApplication::installTranslator(installed);
}

std::unique_ptr<QSettings> openApplicationProfile() {
  return std::make_unique<QSettings>(QStringLiteral("Local AppWizard-Generated Applications"),
                                     QStringLiteral("Selvanor"));
}

QString settingsNotWritableMessage(const std::string& settingsFile) {
  return QStringLiteral("환경 설정 파일에 쓸 수 없습니다. 이번에 바꾸는 설정은 저장되지 않을 수 "
                        "있습니다.\n%1")
      .arg(QString::fromStdString(settingsFile));
}

SelvanorApplication::SelvanorApplication(const std::string& executablePath,
                                         const std::string& workingDirectory)
    : workingDirectory_(workingDirectory) {
  const std::string userConfig =
      QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
  const std::string programFolder =
      computeStartupPaths(executablePath, workingDirectory, nullptr, "").programFolder;
  // An installed program keeps its settings per user even where it could write beside
  // itself (root in /usr/local/bin): the system's bin folder is no place for them.
  const std::string shared = installedDataFolder(programFolder);
  const auto writable = shared.empty() ? std::function<bool(const std::string&)>(folderIsWritable)
                                       : [](const std::string&) { return false; };
  const StartupPaths paths = computeStartupPaths(executablePath, workingDirectory, writable, userConfig);
  tagFolders_ = TagFileFolders{userConfig, shared};
  if (!userConfig.empty()) QDir().mkpath(QString::fromStdString(userConfig));
  settings_ = std::make_unique<Settings>(paths.settingsFile);
  // Said once the window is up: a settings file that cannot be written would otherwise
  // lose every setting of the session without a word.
  if (!settings_->writeStartupPaths(paths.programFolder, paths.documentFolder)) {
    unsavedSettingsFile_ = paths.settingsFile;
  }
  profile_ = openApplicationProfile();
  // The grid's default face is a Windows myeongjo font; keep a serif Hangul face here.
  QFont::insertSubstitution(QStringLiteral("신명조체"), QStringLiteral("Nanum Myeongjo"));
  QFont::insertSubstitution(QStringLiteral("신명조체"), QStringLiteral("NanumMyeongjo"));
}

SelvanorApplication::~SelvanorApplication() = default;

void SelvanorApplication::start(const QString& document) {
  auto widgetUi = std::make_unique<WidgetInteraction>(nullptr);
  WidgetInteraction& ui = *widgetUi;
  ui_ = std::move(widgetUi);
  frame_ = std::make_unique<CMainFrame>(ui, settings_.get(), *profile_);
  ui.setParentWidget(frame_.get());
  // Without a window manager a maximise request does nothing: fill the screen first.
  if (QScreen* screen = frame_->screen()) frame_->resize(screen->availableGeometry().size());
  frame_->showMaximized();
  frame_->view()->initialUpdate(workingDirectory_, tagFolders_);
  if (!unsavedSettingsFile_.empty()) ui.warning(settingsNotWritableMessage(unsavedSettingsFile_));
  if (!document.isEmpty()) {
    frame_->view()->chooseDocument(QFileInfo(document).absoluteFilePath());
    frame_->view()->startAnalysis();
  }
}

}  // namespace selvanor
