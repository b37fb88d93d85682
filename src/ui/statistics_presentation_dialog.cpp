#include "ui/statistics_presentation_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "stats/statistics_request.h"
#include "ui_base/dialog_buttons.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {
namespace {

constexpr const char* kColumnCaptions[8] = {"일련번호", "항목",     "품사",       "빈도",
                                            "백분율",   "누적빈도", "누적백분율", "폴더/문헌 정보 제시"};
constexpr bool kColumnDefaults[8] = {true, true, true, true, false, false, false, false};

}  // namespace

StatisticsPresentationDialog::StatisticsPresentationDialog(UserInteraction& ui, int runType,
                                                           QWidget* parent)
    : QDialog(parent), ui_(ui), tagged_(stats::isTaggedRun(runType)) {
  setWindowTitle(QStringLiteral("결과 제시"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(buildColumns());
  layout->addWidget(buildSortOrder());
  layout->addWidget(buildPasses());
  layout->addWidget(makeDialogButtons(this, QStringLiteral("확 인"), QStringLiteral("취 소")));
}

QGroupBox* StatisticsPresentationDialog::buildColumns() {
  auto* box = new QGroupBox(QStringLiteral("제시 항목"), this);
  auto* grid = new QGridLayout(box);
  for (int p = 0; p < 8; ++p) {
    columns_[p] = new QCheckBox(QString::fromUtf8(kColumnCaptions[p]), box);
    columns_[p]->setChecked(kColumnDefaults[p]);
    grid->addWidget(columns_[p], p / 4, p % 4);
  }
  columns_[2]->setEnabled(tagged_);
  return box;
}

QGroupBox* StatisticsPresentationDialog::buildSortOrder() {
  auto* box = new QGroupBox(QStringLiteral("정렬 기준"), this);
  auto* row = new QHBoxLayout(box);
  auto* group = new QButtonGroup(this);
  const char* captions[3] = {"항목", "품사", "빈도"};
  for (int k = 0; k < 3; ++k) {
    sort_[k] = new QRadioButton(QString::fromUtf8(captions[k]), box);
    group->addButton(sort_[k]);
    row->addWidget(sort_[k]);
  }
  sort_[0]->setChecked(true);
  sort_[1]->setEnabled(tagged_);
  // 오름차순 and 내림차순 are one switch: a click on either flips both.
  ascending_ = new QCheckBox(QStringLiteral("오름차순"), box);
  descending_ = new QCheckBox(QStringLiteral("내림차순"), box);
  ascending_->setChecked(true);
  row->addWidget(ascending_);
  row->addWidget(descending_);
  // The clicked box has already toggled itself: the other one follows it.
  connect(ascending_, &QCheckBox::clicked, this, [this] { setDescending(!ascending_->isChecked()); });
  connect(descending_, &QCheckBox::clicked, this, [this] { setDescending(descending_->isChecked()); });
  return box;
}

QGroupBox* StatisticsPresentationDialog::buildPasses() {
  auto* box = new QGroupBox(QStringLiteral("기타"), this);
  auto* grid = new QGridLayout(box);
  ignoreMarkers_ = new QCheckBox(QStringLiteral("특수기호무시"), box);
  auto* reanalysisButton = new QPushButton(QStringLiteral("재분석파일"), box);
  reanalysis_ = new QLineEdit(box);
  reanalysis_->setMinimumWidth(300);
  perMillion_ = new QCheckBox(QStringLiteral("백만 어절당 빈도"), box);
  docRange_ = new QCheckBox(QStringLiteral("출현 문헌 수"), box);
  utf8_ = new QCheckBox(QStringLiteral("UTF-8로 저장"), box);
  grid->addWidget(ignoreMarkers_, 0, 0);
  grid->addWidget(reanalysisButton, 1, 0);
  grid->addWidget(reanalysis_, 1, 1, 1, 2);
  grid->addWidget(perMillion_, 2, 0);
  grid->addWidget(docRange_, 2, 1);
  grid->addWidget(utf8_, 2, 2);
  connect(reanalysisButton, &QPushButton::clicked, this, &StatisticsPresentationDialog::chooseReanalysisFile);
  // 폴더/문헌 정보 제시 and 특수기호무시 exclude each other.
  connect(columns_[7], &QCheckBox::toggled, this, &StatisticsPresentationDialog::updateExclusions);
  connect(ignoreMarkers_, &QCheckBox::toggled, this, &StatisticsPresentationDialog::updateExclusions);
  return box;
}

void StatisticsPresentationDialog::setDescending(bool descending) {
  ascending_->setChecked(!descending);
  descending_->setChecked(descending);
}

void StatisticsPresentationDialog::updateExclusions() {
  ignoreMarkers_->setEnabled(!columns_[7]->isChecked());
  columns_[7]->setEnabled(!ignoreMarkers_->isChecked());
}

void StatisticsPresentationDialog::chooseReanalysisFile() {
  const QString path = ui_.chooseOpenFile(QStringLiteral("재분석 파일 (*.txt)|*.txt||"), QStringLiteral("*.txt"));
  if (!path.isEmpty()) reanalysis_->setText(path);
}

Presentation StatisticsPresentationDialog::presentation() const {
  std::string options;
  for (int p = 0; p < 8; ++p) {
    const bool on = columns_[p]->isChecked() && (p != 2 || tagged_);
    options += on ? '1' : '0';
  }
  options += sort_[2]->isChecked() ? '3' : (sort_[1]->isChecked() && tagged_ ? '2' : '1');
  options += descending_->isChecked() ? '1' : '0';
  options += ignoreMarkers_->isChecked() ? '1' : '0';
  return {options, nativePath(reanalysis_->text()), perMillion_->isChecked(), docRange_->isChecked(),
          utf8_->isChecked()};
}

}  // namespace selvanor
