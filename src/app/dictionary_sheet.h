// The dictionary bar's sheet: the homonym page "동음어 검색" (app/homonym_page.h), the
// reference page "분석 참조" (app/reference_page.h) and the unregistered-word page
// "미등재어 사전" (app/unregistered_page.h). Each page knows the path it works on.
#pragma once

#include <QTabWidget>

namespace selvanor {

class CDicPage;
class CMiPage;
class CRefPage;
class UserInteraction;

class CDicSheet : public QTabWidget {
  Q_OBJECT
 public:
  explicit CDicSheet(UserInteraction& ui, QWidget* parent = nullptr);
  CDicPage* homonymPage() const { return homonym_; }
  CRefPage* referencePage() const { return reference_; }
  CMiPage* unregisteredPage() const { return unregistered_; }

  // The sheet's height when its lists show `rows` rows below their headers.
  [[nodiscard]] int heightForRows(int rows) const;

  void setDictionaryPaths(const QString& homonym, const QString& unregistered,
                          const QString& reference);

 private:
  CDicPage* homonym_;
  CRefPage* reference_;
  CMiPage* unregistered_;
};

}  // namespace selvanor
