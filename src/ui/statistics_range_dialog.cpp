#include "ui/statistics_range_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "stats/statistics_request.h"
#include "ui_base/dialog_buttons.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

StatisticsRangeDialog::StatisticsRangeDialog(UserInteraction& ui, TagPrompt pickTags, QWidget* parent)
    : QDialog(parent), ui_(ui), pickTags_(std::move(pickTags)) {
  setWindowTitle(QStringLiteral("통계 범위"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(buildScope());
  layout->addWidget(buildTagOptions());
  layout->addWidget(buildResultFile());
  layout->addWidget(makeDialogButtons(this, QStringLiteral("확 인"), QStringLiteral("취 소"),
                                      [this] { confirm(); }));

  // 전체, 실질어, 형식어 and 품사표지 exclude one another; so do 어휘 and 어휘+품사표지.
  auto* ranges = new QButtonGroup(this);
  for (QRadioButton* b : {whole_, content_, relational_, tags_}) ranges->addButton(b);
  auto* kinds = new QButtonGroup(this);
  kinds->addButton(vocabulary_);
  kinds->addButton(withTags_);
  whole_->setChecked(true);
  vocabulary_->setChecked(true);
  connect(tags_, &QRadioButton::clicked, this, &StatisticsRangeDialog::tagsChosen);
}

QGroupBox* StatisticsRangeDialog::buildScope() {
  auto* box = new QGroupBox(QStringLiteral("범위"), this);
  whole_ = new QRadioButton(QStringLiteral("전체"), box);
  content_ = new QRadioButton(QStringLiteral("실질어"), box);
  relational_ = new QRadioButton(QStringLiteral("형식어"), box);
  vocabulary_ = new QRadioButton(QStringLiteral("어휘"), box);
  withTags_ = new QRadioButton(QStringLiteral("어휘+품사표지"), box);
  auto* grid = new QGridLayout(box);
  grid->addWidget(whole_, 0, 0);
  grid->addWidget(content_, 0, 1);
  grid->addWidget(relational_, 0, 2);
  grid->addWidget(vocabulary_, 1, 0);
  grid->addWidget(withTags_, 1, 1);
  return box;
}

QGroupBox* StatisticsRangeDialog::buildTagOptions() {
  auto* box = new QGroupBox(QStringLiteral("품사표지 옵션"), this);
  tags_ = new QRadioButton(QStringLiteral("품사표지"), box);
  lower_ = new QLineEdit(box);
  upper_ = new QLineEdit(box);
  for (QLineEdit* f : {lower_, upper_}) {
    f->setReadOnly(true);
    f->setEnabled(false);
  }
  picked_ = new QListWidget(box);
  picked_->setEnabled(false);
  picked_->setMinimumHeight(120);
  auto* grid = new QGridLayout(box);
  grid->addWidget(tags_, 0, 0);
  auto* rangeRow = new QHBoxLayout;
  rangeRow->addWidget(lower_);
  rangeRow->addWidget(new QLabel(QStringLiteral("~"), box));
  rangeRow->addWidget(upper_);
  grid->addLayout(rangeRow, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("분류 선택"), box), 1, 0);
  grid->addWidget(picked_, 1, 1);
  return box;
}

QGroupBox* StatisticsRangeDialog::buildResultFile() {
  auto* box = new QGroupBox(QStringLiteral("결과 저장 파일"), this);
  auto* button = new QPushButton(QStringLiteral("결과 파일"), box);
  result_ = new QLineEdit(box);
  result_->setMinimumWidth(360);
  auto* row = new QHBoxLayout(box);
  row->addWidget(button);
  row->addWidget(result_, 1);
  connect(button, &QPushButton::clicked, this, &StatisticsRangeDialog::chooseResultFile);
  return box;
}

void StatisticsRangeDialog::tagsChosen() {
  std::optional<TagPick> pick = pickTags_ ? pickTags_() : std::nullopt;
  if (!pick) {
    // A cancelled pick leaves the run as it was before 품사표지 was clicked.
    whole_->setChecked(true);
    pick_.reset();
  } else {
    pick_ = std::move(pick);
  }
  showPick();
}

void StatisticsRangeDialog::showPick() {
  const bool picked = pick_.has_value();
  lower_->setEnabled(picked);
  upper_->setEnabled(picked);
  picked_->setEnabled(picked);
  picked_->clear();
  lower_->clear();
  upper_->clear();
  if (!picked) return;
  lower_->setText(fromCp949(pick_->range.lower));
  upper_->setText(fromCp949(pick_->range.upper));
  for (const std::string& name : pick_->classes) picked_->addItem(fromCp949(name));
}

void StatisticsRangeDialog::chooseResultFile() {
  const QString path = ui_.chooseSaveFile(QStringLiteral("통계 출력 파일 (*.txt)|*.txt||"),
                                          result_->text().isEmpty() ? QStringLiteral("*.txt") : result_->text(),
                                          true);
  if (!path.isEmpty()) result_->setText(path);
}

void StatisticsRangeDialog::confirm() {
  if (result_->text().isEmpty()) {
    ui_.message(QString::fromUtf8(stats::msg::kChooseResultFile));
    return;
  }
  accept();
}

int StatisticsRangeDialog::runType() const {
  const bool tagged = withTags_->isChecked();
  if (tags_->isChecked()) return 5;
  if (content_->isChecked()) return tagged ? 4 : 3;
  if (relational_->isChecked()) return tagged ? 7 : 6;
  return tagged ? 2 : 1;
}

std::string StatisticsRangeDialog::resultPath() const { return nativePath(result_->text()); }

}  // namespace selvanor
