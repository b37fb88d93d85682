#include "app/dictionary_sheet.h"

#include "app/homonym_page.h"
#include "app/reference_page.h"
#include "app/unregistered_page.h"

namespace selvanor {

CDicSheet::CDicSheet(UserInteraction& ui, QWidget* parent) : QTabWidget(parent) {
  homonym_ = new CDicPage(ui, this);
  reference_ = new CRefPage(ui, this);
  unregistered_ = new CMiPage(ui, this);
  addTab(homonym_, QStringLiteral("동음어 검색"));
  addTab(reference_, QStringLiteral("분석 참조"));
  addTab(unregistered_, QStringLiteral("미등재어 사전"));
}

void CDicSheet::setDictionaryPaths(const QString& homonym, const QString& unregistered,
                                   const QString& reference) {
  homonym_->setPath(homonym);
  unregistered_->setPath(unregistered);
  reference_->setPath(reference);
}

}  // namespace selvanor
