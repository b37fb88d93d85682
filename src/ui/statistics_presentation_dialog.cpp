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
  auto* columnsBox = new QGroupBox(QStringLiteral("제시 항목"), this);
  auto* columnGrid = new QGridLayout(columnsBox);
  for (int p = 0; p < 8; ++p) {
    columns_[p] = new QCheckBox(QString::fromUtf8(kColumnCaptions[p]), columnsBox);
    columns_[p]->setChecked(kColumnDefaults[p]);
    columnGrid->addWidget(columns_[p], p / 4, p % 4);
  }
  columns_[2]->setEnabled(tagged_);

  auto* sortBox = new QGroupBox(QStringLiteral("정렬 기준"), this);
  auto* sortRow = new QHBoxLayout(sortBox);
  auto* sortGroup = new QButtonGroup(this);
  const char* sortCaptions[3] = {"항목", "품사", "빈도"};
  for (int k = 0; k < 3; ++k) {
    sort_[k] = new QRadioButton(QString::fromUtf8(sortCaptions[k]), sortBox);
    sortGroup->addButton(sort_[k]);
    sortRow->addWidget(sort_[k]);
  }
  sort_[0]->setChecked(true);
  sort_[1]->setEnabled(tagged_);
  // 오름차순 and 내림차순 are one switch: a click on either flips both.
  ascending_ = new QCheckBox(QStringLiteral("오름차순"), sortBox);
  descending_ = new QCheckBox(QStringLiteral("내림차순"), sortBox);
  ascending_->setChecked(true);
  sortRow->addWidget(ascending_);
  sortRow->addWidget(descending_);
  // The clicked box has already toggled itself: the other one follows it.
  connect(ascending_, &QCheckBox::clicked, this, [this] { setDescending(!ascending_->isChecked()); });
  connect(descending_, &QCheckBox::clicked, this, [this] { setDescending(descending_->isChecked()); });

  auto* passes = new QGroupBox(QStringLiteral("기타"), this);
  auto* passGrid = new QGridLayout(passes);
  ignoreMarkers_ = new QCheckBox(QStringLiteral("특수기호무시"), passes);
  auto* reanalysisButton = new QPushButton(QStringLiteral("재분석파일"), passes);
  reanalysis_ = new QLineEdit(passes);
  reanalysis_->setMinimumWidth(300);
  perMillion_ = new QCheckBox(QStringLiteral("백만 어절당 빈도"), passes);
  docRange_ = new QCheckBox(QStringLiteral("출현 문헌 수"), passes);
  utf8_ = new QCheckBox(QStringLiteral("UTF-8로 저장"), passes);
  passGrid->addWidget(ignoreMarkers_, 0, 0);
  passGrid->addWidget(reanalysisButton, 1, 0);
  passGrid->addWidget(reanalysis_, 1, 1, 1, 2);
  passGrid->addWidget(perMillion_, 2, 0);
  passGrid->addWidget(docRange_, 2, 1);
  passGrid->addWidget(utf8_, 2, 2);
  connect(reanalysisButton, &QPushButton::clicked, this, &StatisticsPresentationDialog::chooseReanalysisFile);
  // 폴더/문헌 정보 제시 and 특수기호무시 exclude each other.
  connect(columns_[7], &QCheckBox::toggled, this, &StatisticsPresentationDialog::updateExclusions);
  connect(ignoreMarkers_, &QCheckBox::toggled, this, &StatisticsPresentationDialog::updateExclusions);

  auto* buttons = new QDialogButtonBox(this);
  auto* ok = buttons->addButton(QStringLiteral("확 인"), QDialogButtonBox::AcceptRole);
  auto* cancel = buttons->addButton(QStringLiteral("취 소"), QDialogButtonBox::RejectRole);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(columnsBox);
  layout->addWidget(sortBox);
  layout->addWidget(passes);
  layout->addWidget(buttons);
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
