#include "app/search_window.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace selvanor {

SearchWindow::SearchWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("검색"));
  setModal(false);

  auto* targetBox = new QGroupBox(QStringLiteral("검색 대상"), this);
  auto* targetLayout = new QHBoxLayout(targetBox);
  auto* targetGroup = new QButtonGroup(this);
  const char* targetNames[3] = {"일련 번호", "원문 어절", "분석 어절"};
  for (int i = 0; i < 3; ++i) {
    targets_[i] = new QRadioButton(QString::fromUtf8(targetNames[i]), targetBox);
    targetGroup->addButton(targets_[i], i);
    targetLayout->addWidget(targets_[i]);
  }
  auto* directionBox = new QGroupBox(QStringLiteral("방향"), this);
  auto* directionLayout = new QHBoxLayout(directionBox);
  up_ = new QRadioButton(QStringLiteral("위"), directionBox);
  down_ = new QRadioButton(QStringLiteral("아래"), directionBox);
  directionLayout->addWidget(up_);
  directionLayout->addWidget(down_);

  pattern_ = new QLineEdit(this);
  replacement_ = new QLineEdit(this);
  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QStringLiteral("검색 단어"), this), 0, 0);
  fields->addWidget(pattern_, 0, 1);
  fields->addWidget(new QLabel(QStringLiteral("수정 단어"), this), 1, 0);
  fields->addWidget(replacement_, 1, 1);

  auto* searchButton = new QPushButton(QStringLiteral("검색"), this);
  auto* replaceButton = new QPushButton(QStringLiteral("수정"), this);
  auto* closeButton = new QPushButton(QStringLiteral("닫기"), this);
  searchButton->setDefault(true);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(searchButton);
  buttons->addWidget(replaceButton);
  buttons->addWidget(closeButton);
  buttons->addStretch();

  auto* left = new QVBoxLayout;
  left->addWidget(targetBox);
  left->addWidget(directionBox);
  left->addLayout(fields);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);
  setMinimumWidth(420);

  targets_[0]->setChecked(true);
  down_->setChecked(true);
  updateDirectionEnabled();
  connect(targetGroup, &QButtonGroup::idClicked, this, [this] { updateDirectionEnabled(); });
  connect(searchButton, &QPushButton::clicked, this, &SearchWindow::searchRequested);
  connect(replaceButton, &QPushButton::clicked, this, &SearchWindow::replaceRequested);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::hide);
}

int SearchWindow::target() const {
  for (int i = 0; i < 3; ++i) {
    if (targets_[i]->isChecked()) return i;
  }
  return 0;
}

int SearchWindow::direction() const { return up_->isChecked() ? 1 : 0; }
QString SearchWindow::pattern() const { return pattern_->text(); }
QString SearchWindow::replacement() const { return replacement_->text(); }

void SearchWindow::setTarget(int target) {
  targets_[std::clamp(target, 0, 2)]->setChecked(true);
  updateDirectionEnabled();
}

void SearchWindow::setDirection(int direction) { (direction == 1 ? up_ : down_)->setChecked(true); }
void SearchWindow::setPattern(const QString& text) { pattern_->setText(text); }
void SearchWindow::setReplacement(const QString& text) { replacement_->setText(text); }

void SearchWindow::updateDirectionEnabled() {
  // Serials are unique: searching them has no direction.
  const bool enabled = !targets_[0]->isChecked();
  up_->setEnabled(enabled);
  down_->setEnabled(enabled);
}

}  // namespace selvanor
