#include "app/dictionary_sheet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/homonym_page.h"
#include "app/reference_page.h"
#include "app/unregistered_page.h"

namespace selvanor {

DictionaryPage::DictionaryPage(const QString& fieldCaption, QWidget* parent) : QWidget(parent) {
  auto* field = new QLineEdit(this);
  auto* searchButton = new QPushButton(QStringLiteral("검색"), this);
  auto* list = new QTreeWidget(this);
  list->setHeaderLabels({fieldCaption});
  pathLabel_ = new QLabel(this);
  pathLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The look-ups of this page come with the dictionaries; until then it only shows its file.
  field->setEnabled(false);
  searchButton->setEnabled(false);
  list->setEnabled(false);
  auto* row = new QHBoxLayout;
  row->addWidget(field, 1);
  row->addWidget(searchButton);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(row);
  layout->addWidget(list, 1);
  layout->addWidget(pathLabel_);
  setPath(QString());
}

void DictionaryPage::setPath(const QString& path) {
  path_ = path;
  pathLabel_->setText(path.isEmpty() ? QStringLiteral("(파일 없음)") : path);
}

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
