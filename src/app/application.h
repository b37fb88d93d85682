// Start-up: paths, settings file, profile, main frame and view, the first update.
#pragma once

#include <QString>

#include <memory>
#include <string>

#include "app_core/settings.h"

class QSettings;

namespace selvanor {

class CMainFrame;
class UserInteraction;

class SelvanorApplication {
 public:
  // `executablePath` and `workingDirectory` are native paths.
  SelvanorApplication(const std::string& executablePath, const std::string& workingDirectory);
  ~SelvanorApplication();

  // Creates the frame, shows it maximised and runs the view's first update; `document`
  // (may be empty) is then opened in the grid.
  void start(const QString& document);
  CMainFrame* frame() const { return frame_.get(); }
  Settings* settings() const { return settings_.get(); }

 private:
  std::string workingDirectory_;
  TagFileFolders tagFolders_;
  std::string unsavedSettingsFile_;  // the settings file a start-up write failed on
  std::unique_ptr<Settings> settings_;
  std::unique_ptr<QSettings> profile_;
  std::unique_ptr<UserInteraction> ui_;
  std::unique_ptr<CMainFrame> frame_;
};

// Qt's own Korean texts (standard buttons, file choosers, context menus of text fields),
// from the translations the system ships; false when they are not installed, and the
// window then shows Qt's English texts.
bool installKoreanQtTranslations();

// The warning shown once the window is up when the start-up write of the settings file
// failed (a read-only file, a full disk).
[[nodiscard]] QString settingsNotWritableMessage(const std::string& settingsFile);

// Per-user application profile (bar layout and sizes).
[[nodiscard]] std::unique_ptr<QSettings> openApplicationProfile();

}  // namespace selvanor
