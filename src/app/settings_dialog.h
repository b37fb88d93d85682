// The settings dialog "옵 션 ": the homonym dictionary, unregistered-word dictionary and
// reference file paths. The view applies and writes what it returns.
#pragma once

#include <QDialog>

class QLineEdit;

namespace selvanor {

class UserInteraction;

class SettingsDialog : public QDialog {
  Q_OBJECT
 public:
  SettingsDialog(UserInteraction& ui, const QString& homonym, const QString& unregistered,
                 const QString& reference, QWidget* parent = nullptr);

  QString homonymPath() const;
  QString unregisteredPath() const;
  QString referencePath() const;

  // The row buttons, for tests: 0 homonym, 1 unregistered, 2 reference.
  void chooseRow(int row);

 private:
  UserInteraction& ui_;
  QLineEdit* fields_[3];
};

}  // namespace selvanor
