#include "app/dictionary_sheet.h"

#include <QHeaderView>
#include <QStyle>
#include <QTabBar>
#include <QTableView>

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

int CDicSheet::heightForRows(int rows) const {
  // The homonym page stands for all three: the same rows of buttons above a list.
  const QTableView* list = homonym_->list();
  const int listHeight = list->horizontalHeader()->sizeHint().height() +
                         rows * list->verticalHeader()->defaultSectionSize() + 2 * list->frameWidth();
  const int aboveList = homonym_->sizeHint().height() - list->sizeHint().height();
  const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) + 4;
  return tabBar()->sizeHint().height() + aboveList + listHeight + frame;
}

void CDicSheet::setDictionaryPaths(const QString& homonym, const QString& unregistered,
                                   const QString& reference) {
  homonym_->setPath(homonym);
  unregistered_->setPath(unregistered);
  reference_->setPath(reference);
}

}  // namespace selvanor
