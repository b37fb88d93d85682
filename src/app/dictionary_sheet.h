// The dictionary bar's sheet: the homonym page "동음어 검색", the reference page
// "분석 참조" and the unregistered-word page "미등재어 사전". Each page knows the path it
// works on; a page whose work is not available yet shows its controls disabled.
#pragma once

#include <QTabWidget>

class QLabel;

namespace selvanor {

class DictionaryPage : public QWidget {
  Q_OBJECT
 public:
  DictionaryPage(const QString& fieldCaption, QWidget* parent = nullptr);
  void setPath(const QString& path);
  QString path() const { return path_; }

 private:
  QString path_;
  QLabel* pathLabel_;
};

class CDicSheet : public QTabWidget {
  Q_OBJECT
 public:
  explicit CDicSheet(QWidget* parent = nullptr);
  DictionaryPage* homonymPage() const { return homonym_; }
  DictionaryPage* referencePage() const { return reference_; }
  DictionaryPage* unregisteredPage() const { return unregistered_; }

  void setDictionaryPaths(const QString& homonym, const QString& unregistered,
                          const QString& reference);

 private:
  DictionaryPage* homonym_;
  DictionaryPage* reference_;
  DictionaryPage* unregistered_;
};

}  // namespace selvanor
