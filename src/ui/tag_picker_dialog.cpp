#include "ui/tag_picker_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "stats/tag_manager.h"
#include "ui_base/dialog_buttons.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {
namespace {

constexpr int kNameRole = Qt::UserRole + 1;  // the entry's name as stored (CP949)

void fillChoices(QComboBox* box, const std::vector<std::string>& choices) {
  for (const std::string& c : choices) box->addItem(fromCp949(c));
}

QListWidget* makeList(const std::vector<TagNode>* nodes, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::MultiSelection);
  list->setMinimumSize(150, 220);
  if (!nodes) return list;
  for (const TagNode& n : *nodes) {
    auto* item = new QListWidgetItem(fromCp949(n.name), list);
    item->setData(kNameRole, QByteArray::fromStdString(n.name));
  }
  return list;
}

std::string nameOf(const QListWidgetItem* item) {
  return item->data(kNameRole).toByteArray().toStdString();
}

}  // namespace

TagPickerDialog::TagPickerDialog(UserInteraction& ui, const TagManager& tags, QWidget* parent)
    : QDialog(parent), ui_(ui), tags_(tags), classes_(tags.GetClassList(1)) {
  setWindowTitle(QStringLiteral("분석표지 선택창"));

  lower_ = new QComboBox(this);
  upper_ = new QComboBox(this);
  fillChoices(lower_, stats::lowerRangeChoices());
  fillChoices(upper_, stats::upperRangeChoices());
  upper_->setEnabled(false);  // while the lower choice is "전체"
  auto* range = new QGroupBox(QStringLiteral("어휘 범위 선택"), this);
  auto* rangeRow = new QHBoxLayout(range);
  rangeRow->addWidget(lower_);
  rangeRow->addWidget(new QLabel(QStringLiteral("~"), range));
  rangeRow->addWidget(upper_);

  auto* classes = new QGroupBox(QStringLiteral("분류 선택"), this);
  auto* grid = new QGridLayout(classes);
  const char* captions[3] = {"대분류", "소분류", "세분류"};
  for (int level = 1; level <= 3; ++level) {
    levelButtons_[level - 1] = new QRadioButton(QString::fromUtf8(captions[level - 1]), classes);
    lists_[level - 1] = makeList(tags_.GetClassList(level), classes);
    grid->addWidget(levelButtons_[level - 1], 0, level - 1);
    grid->addWidget(lists_[level - 1], 1, level - 1);
    connect(levelButtons_[level - 1], &QRadioButton::clicked, this, [this, level] { chooseLevel(level); });
    connect(lists_[level - 1], &QListWidget::itemSelectionChanged, this, [this, level] {
      // The item whose state changed is the current one (a click or a key).
      if (QListWidgetItem* item = lists_[level - 1]->currentItem()) linkFrom(level, item);
    });
  }
  levelButtons_[0]->setChecked(true);
  chooseLevel(1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(range);
  layout->addWidget(classes, 1);
  layout->addWidget(makeDialogButtons(this, QStringLiteral("작업 시작"), QStringLiteral("취소"),
                                      [this] { start(); }));

  connect(lower_, qOverload<int>(&QComboBox::currentIndexChanged), this, &TagPickerDialog::lowerChanged);
  connect(upper_, qOverload<int>(&QComboBox::currentIndexChanged), this, &TagPickerDialog::upperChanged);
}

void TagPickerDialog::chooseLevel(int level) {
  level_ = level;
  for (int l = 1; l <= 3; ++l) lists_[l - 1]->setEnabled(l == level);
}

void TagPickerDialog::lowerChanged() {
  const bool whole = lower_->currentIndex() == stats::kWholeRange;
  upper_->setEnabled(!whole);
  upperChanged();
}

void TagPickerDialog::upperChanged() {
  const int adjusted = stats::adjustedUpperChoice(lower_->currentIndex(), upper_->currentIndex());
  if (adjusted != upper_->currentIndex()) upper_->setCurrentIndex(adjusted);
}

void TagPickerDialog::linkFrom(int level, QListWidgetItem* item) {
  if (linking_ || level == 3 || !classes_) return;
  linking_ = true;
  const std::string name = nameOf(item);
  const bool selected = item->isSelected();
  for (const TagNode& cls : *classes_) {
    for (const TagNode& it : cls.children) {
      const bool under = level == 1 ? cls.name == name : it.name == name;
      if (!under) continue;
      if (level == 1) selectNamed(2, it.name, selected);
      for (const TagNode& sub : it.children) selectNamed(3, sub.name, selected);
    }
  }
  linking_ = false;
}

void TagPickerDialog::selectNamed(int level, const std::string& name, bool selected) {
  QListWidget* list = lists_[level - 1];
  for (int row = 0; row < list->count(); ++row) {
    QListWidgetItem* item = list->item(row);
    if (nameOf(item) == name) item->setSelected(selected);
  }
}

void TagPickerDialog::start() {
  TagPick pick;
  QListWidget* list = lists_[level_ - 1];
  for (int row = 0; row < list->count(); ++row) {
    if (list->item(row)->isSelected()) pick.classes.push_back(nameOf(list->item(row)));
  }
  pick.tags = stats::tagsForClasses(tags_, pick.classes, level_);
  pick.range = stats::consonantRange(lower_->currentIndex(), upper_->currentIndex());
  pick_ = std::move(pick);
  accept();
}

}  // namespace selvanor
