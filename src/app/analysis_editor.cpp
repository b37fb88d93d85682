#include "app/analysis_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "ui_base/qt_text.h"
#include "app/tag_combo_box.h"
#include "ui_base/user_interaction.h"
#include "stats/morpheme_splitter.h"
#include "stats/tag_manager.h"

namespace selvanor {
namespace {

const QString kNoTagSet = QStringLiteral("TagManager가 설정되지 않았습니다.");
const QString kBadSerial = QStringLiteral("일련번호는 비워 둘 수 없고 빈칸을 넣을 수 없습니다.");
const QString kBadWord = QStringLiteral("원문어절은 비워 둘 수 없고 빈칸을 넣을 수 없습니다.");

constexpr int kColumnSpacing = 6;
constexpr int kRowSpacing = 3;
constexpr int kRowsMargin = 4;

QStringList toQStrings(const std::vector<std::string>& cp949) {
  QStringList out;
  out.reserve(static_cast<int>(cp949.size()));
  for (const std::string& s : cp949) out << fromCp949(s);
  return out;
}

// Serial and word are single blank-free fields of the record's line format.
bool isOneField(const QString& text) {
  return !text.isEmpty() &&
         std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

QLabel* heading(const QString& text, int width) {
  auto* label = new QLabel(text);
  label->setAlignment(Qt::AlignCenter);
  if (width > 0) label->setFixedWidth(width);
  return label;
}

}  // namespace

struct AnalysisEditor::RowState {
  bool applied = false;
  QString text;
  QString marker;
  QString tag;

  [[nodiscard]] bool blank() const {
    return !applied && text.isEmpty() && marker.isEmpty() && tag.isEmpty();
  }
};

AnalysisEditor::AnalysisEditor(const AnalysisRecord& record, TagManager* tags, UserInteraction& ui,
                               QWidget* parent)
    : QDialog(parent), tags_(tags), ui_(ui), result_(record) {
  setWindowTitle(QStringLiteral("분석결과 편집"));
  if (tags_) {
    markerList_ = toQStrings(tags_->MarkerSymbols());
    tagList_ = toQStrings(tags_->AllTags());
  }
  buildLayout(record);
  if (tags_) {
    fillRows(record.analysis);
  } else {
    ui_.warning(kNoTagSet);
    // Nothing to edit with: accepting would store an empty analysis.
    scroll_->setEnabled(false);
    applyButton_->setEnabled(false);
  }
}

AnalysisEditor::~AnalysisEditor() {
  // The scroll bar outlives this part of the dialog while the children are torn down.
  scroll_->verticalScrollBar()->removeEventFilter(this);
}

void AnalysisEditor::buildLayout(const AnalysisRecord& record) {
  // Made top to bottom; the order they join the layout below is also the tab order.
  QHBoxLayout* fields = buildFields(record);
  measureColumns();
  QWidget* header = buildHeader();
  buildRowsArea();
  QDialogButtonBox* buttons = buildButtons();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addSpacing(6);
  layout->addWidget(header);
  layout->addWidget(scroll_, 1);
  layout->addWidget(buttons);

  for (int k = 0; k < kMinRows; ++k) addRowWidgets();
  addButtonsHeading();
  sizeRowsArea();
}

QHBoxLayout* AnalysisEditor::buildFields(const AnalysisRecord& record) {
  const QFontMetrics fm(font());
  serial_ = new QLineEdit(fromCp949(record.serial));
  serial_->setMinimumWidth(fm.horizontalAdvance(QString(18, QLatin1Char('0'))) + 12);
  word_ = new QLineEdit(fromCp949(record.word));
  word_->setMinimumWidth(fm.horizontalAdvance(QString(20, QChar(0xAC00))) + 12);  // 가
  auto* fields = new QHBoxLayout;
  fields->addWidget(new QLabel(QStringLiteral("일련번호")));
  fields->addWidget(serial_);
  fields->addSpacing(16);
  fields->addWidget(new QLabel(QStringLiteral("원문어절")));
  fields->addWidget(word_, 1);
  return fields;
}

// Column widths from the widgets themselves, at least as wide as their headings.
void AnalysisEditor::measureColumns() {
  const QFontMetrics fm(font());
  QCheckBox check;
  applyWidth_ =
      std::max(check.sizeHint().width(), fm.horizontalAdvance(QStringLiteral("적용")) + 12);
  QComboBox marker;
  marker.setEditable(true);
  marker.addItems(markerList_);
  marker.setMinimumContentsLength(2);
  markerWidth_ =
      std::max(marker.sizeHint().width(), fm.horizontalAdvance(QStringLiteral("기호")) + 12);
  TagComboBox tag;
  tag.addItems(tagList_);
  tag.setMinimumContentsLength(4);
  TagComboBox widest;  // an odd long tag must not make every row wide
  widest.setMinimumContentsLength(12);
  tagWidth_ = std::min(
      std::max(tag.sizeHint().width(), fm.horizontalAdvance(QStringLiteral("분석표지")) + 12),
      widest.sizeHint().width());
}

QWidget* AnalysisEditor::buildHeader() {
  auto* header = new QWidget;
  headerLayout_ = new QHBoxLayout(header);
  headerLayout_->setSpacing(kColumnSpacing);
  headerLayout_->addWidget(heading(QStringLiteral("적용"), applyWidth_));
  headerLayout_->addWidget(heading(QStringLiteral("어휘"), 0), 1);
  headerLayout_->addWidget(heading(QStringLiteral("기호"), markerWidth_));
  headerLayout_->addWidget(heading(QStringLiteral("분석표지"), tagWidth_));
  return header;
}

void AnalysisEditor::buildRowsArea() {
  auto* rowsWidget = new QWidget;
  rowsLayout_ = new QVBoxLayout(rowsWidget);
  rowsLayout_->setContentsMargins(kRowsMargin, kRowsMargin, kRowsMargin, kRowsMargin);
  rowsLayout_->setSpacing(kRowSpacing);
  rowsLayout_->addStretch(1);
  scroll_ = new QScrollArea;
  scroll_->setWidgetResizable(true);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setWidget(rowsWidget);
  scroll_->verticalScrollBar()->installEventFilter(this);
}

QDialogButtonBox* AnalysisEditor::buildButtons() {
  auto* buttons = new QDialogButtonBox;
  applyButton_ = buttons->addButton(QStringLiteral("적용"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
  applyButton_->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &AnalysisEditor::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &AnalysisEditor::reject);
  return buttons;
}

// The +/- buttons have no heading: a placeholder of their width keeps the columns aligned.
void AnalysisEditor::addButtonsHeading() {
  const Row& first = rows_.front();
  auto* buttonsPlace = new QWidget;
  buttonsPlace->setFixedWidth(first.plus->minimumWidth() + kColumnSpacing +
                              first.minus->minimumWidth());
  headerLayout_->addWidget(buttonsPlace);
  updateHeaderMargins();
}

// Show all the fixed rows at once where the screen allows; more rows scroll.
void AnalysisEditor::sizeRowsArea() {
  const Row& first = rows_.front();
  const int frame = 2 * scroll_->frameWidth();
  int height = kMinRows * first.line->sizeHint().height() + (kMinRows - 1) * kRowSpacing +
               2 * kRowsMargin + frame;
  if (const QScreen* s = screen())
    height = std::min(height, s->availableGeometry().height() * 3 / 5);
  scroll_->setMinimumHeight(height);
  scroll_->setMinimumWidth(first.line->minimumSizeHint().width() + 2 * kRowsMargin + frame +
                           scroll_->verticalScrollBar()->sizeHint().width());
}

void AnalysisEditor::addRowWidgets() {
  const int k = rowCount();
  Row r;
  r.line = new QWidget;
  auto* line = new QHBoxLayout(r.line);
  line->setContentsMargins(0, 0, 0, 0);
  line->setSpacing(kColumnSpacing);

  QWidget* applyCell = makeApplyCell(r);
  makeRowFields(r);
  makeRowButtons(r);

  line->addWidget(applyCell);
  line->addWidget(r.text, 1);
  line->addWidget(r.marker);
  line->addWidget(r.tag);
  line->addWidget(r.plus);
  line->addWidget(r.minus);

  connectRow(r, k);
  // A new row starts unchecked, so its fields start disabled.
  r.text->setEnabled(false);
  r.marker->setEnabled(false);
  r.tag->setEnabled(false);

  rowsLayout_->insertWidget(k, r.line);  // before the closing stretch
  // A row added later still tabs in row order, not after the dialog buttons.
  if (k > 0) chainTabOrder(rows_.back(), r);
  rows_.push_back(r);
}

// The check box centred in a cell as wide as its heading.
QWidget* AnalysisEditor::makeApplyCell(Row& r) const {
  auto* applyCell = new QWidget;
  applyCell->setFixedWidth(applyWidth_);
  auto* applyLayout = new QHBoxLayout(applyCell);
  applyLayout->setContentsMargins(0, 0, 0, 0);
  r.apply = new QCheckBox;
  applyLayout->addStretch(1);
  applyLayout->addWidget(r.apply);
  applyLayout->addStretch(1);
  return applyCell;
}

void AnalysisEditor::makeRowFields(Row& r) const {
  r.text = new QLineEdit;
  r.text->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QString(8, QChar(0xAC00))));

  r.marker = new QComboBox;
  r.marker->setEditable(true);
  r.marker->setCompleter(nullptr);
  r.marker->setInsertPolicy(QComboBox::NoInsert);
  r.marker->addItems(markerList_);
  r.marker->setCurrentIndex(-1);
  r.marker->setFixedWidth(markerWidth_);

  r.tag = new TagComboBox;
  r.tag->addItems(tagList_);
  r.tag->setCurrentIndex(-1);
  r.tag->setFixedWidth(tagWidth_);
}

void AnalysisEditor::makeRowButtons(Row& r) {
  r.plus = new QToolButton;
  r.plus->setText(QStringLiteral("+"));
  r.plus->setToolTip(QStringLiteral("이 자리에 빈 줄 넣기"));
  r.minus = new QToolButton;
  r.minus->setText(QStringLiteral("-"));
  r.minus->setToolTip(QStringLiteral("이 줄 지우기"));
  const int buttonWidth = std::max(r.plus->sizeHint().width(), r.minus->sizeHint().width());
  r.plus->setFixedWidth(buttonWidth);
  r.minus->setFixedWidth(buttonWidth);
}

void AnalysisEditor::connectRow(const Row& r, int k) {
  connect(r.apply, &QCheckBox::toggled, this, [this, k](bool on) { setRowEnabled(k, on); });
  connect(r.plus, &QToolButton::clicked, this, [this, k] { insertRow(k); });
  connect(r.minus, &QToolButton::clicked, this, [this, k] { removeRow(k); });
}

void AnalysisEditor::chainTabOrder(const Row& previous, const Row& r) {
  QWidget::setTabOrder(previous.minus, r.apply);
  QWidget::setTabOrder(r.apply, r.text);
  QWidget::setTabOrder(r.text, r.marker);
  QWidget::setTabOrder(r.marker, r.tag);
  QWidget::setTabOrder(r.tag, r.plus);
  QWidget::setTabOrder(r.plus, r.minus);
}

void AnalysisEditor::removeLastRowWidgets() {
  const Row r = rows_.back();
  rows_.pop_back();
  rowsLayout_->removeWidget(r.line);
  r.line->hide();
  // Later: the "-" that asked for this may be in the row.
  r.line->deleteLater();
}

void AnalysisEditor::setRowEnabled(int k, bool enabled) {
  if (k < 0 || k >= rowCount()) return;
  const Row& r = rows_[static_cast<std::size_t>(k)];
  r.text->setEnabled(enabled);
  r.marker->setEnabled(enabled);
  r.tag->setEnabled(enabled);
}

void AnalysisEditor::fillRows(const std::string& analysis) {
  MorphemeSplitter splitter;
  splitter.SetText(analysis, " ");
  std::vector<RowState> states;
  while (const Morpheme* m = splitter.NextMorpheme()) {
    RowState s;
    s.applied = true;
    s.text = fromCp949(m->text);
    if (m->marker != '\0') s.marker = QString(QLatin1Char(m->marker));
    s.tag = fromCp949(m->tag);
    states.push_back(std::move(s));
  }
  while (states.size() < static_cast<std::size_t>(kMinRows)) states.emplace_back();
  writeRows(states);
}

std::vector<AnalysisEditor::RowState> AnalysisEditor::readRows() const {
  std::vector<RowState> states;
  states.reserve(rows_.size());
  for (const Row& r : rows_) {
    states.push_back(
        {r.apply->isChecked(), r.text->text(), r.marker->currentText(), r.tag->currentText()});
  }
  return states;
}

void AnalysisEditor::writeRows(const std::vector<RowState>& states) {
  while (rows_.size() < states.size()) addRowWidgets();
  while (rows_.size() > states.size()) removeLastRowWidgets();
  for (std::size_t k = 0; k < states.size(); ++k) {
    const Row& r = rows_[k];
    const RowState& s = states[k];
    r.apply->setChecked(s.applied);
    r.text->setText(s.text);
    showInComboBox(*r.marker, s.marker);
    r.tag->showTag(s.tag);
    setRowEnabled(static_cast<int>(k), s.applied);
  }
}

void AnalysisEditor::insertRow(int k) {
  if (k < 0 || k >= rowCount()) return;
  std::vector<RowState> states = readRows();
  RowState fresh;
  fresh.applied = true;
  states.insert(states.begin() + k, fresh);
  // Only a spare empty row may fall off the end; anything else gets a new row.
  if (states.size() > static_cast<std::size_t>(kMinRows) && states.back().blank())
    states.pop_back();
  writeRows(states);
  rows_[static_cast<std::size_t>(k)].text->setFocus();
}

void AnalysisEditor::removeRow(int k) {
  if (k < 0 || k >= rowCount()) return;
  std::vector<RowState> states = readRows();
  states.erase(states.begin() + k);
  if (states.size() < static_cast<std::size_t>(kMinRows)) states.emplace_back();
  writeRows(states);
  rows_[static_cast<std::size_t>(std::min(k, rowCount() - 1))].text->setFocus();
}

AnalysisEditor::RowContent AnalysisEditor::row(int k) const {
  const Row& r = rows_.at(static_cast<std::size_t>(k));
  return {r.text->text(), r.marker->currentText(), r.tag->currentText(), r.apply->isChecked()};
}

QCheckBox* AnalysisEditor::applyBox(int k) const {
  return rows_.at(static_cast<std::size_t>(k)).apply;
}
QLineEdit* AnalysisEditor::textField(int k) const {
  return rows_.at(static_cast<std::size_t>(k)).text;
}
QComboBox* AnalysisEditor::markerBox(int k) const {
  return rows_.at(static_cast<std::size_t>(k)).marker;
}
TagComboBox* AnalysisEditor::tagBox(int k) const {
  return rows_.at(static_cast<std::size_t>(k)).tag;
}

void AnalysisEditor::pressPlus(int k) { rows_.at(static_cast<std::size_t>(k)).plus->click(); }
void AnalysisEditor::pressMinus(int k) { rows_.at(static_cast<std::size_t>(k)).minus->click(); }

void AnalysisEditor::focusField(QWidget* field) {
  scroll_->ensureWidgetVisible(field);
  field->setFocus();
}

void AnalysisEditor::accept() {
  if (!tags_) {
    ui_.warning(kNoTagSet);
    return;
  }
  if (!isOneField(serial_->text())) {
    ui_.warning(kBadSerial);
    focusField(serial_);
    return;
  }
  if (!isOneField(word_->text())) {
    ui_.warning(kBadWord);
    focusField(word_);
    return;
  }

  // Field by field, so a refusal can point at the field that holds the character.
  AnalysisRecord edited;
  auto append = [this](QWidget* field, const QString& text, std::string& out) {
    std::optional<std::string> bytes = toCp949(text, ui_);
    if (!bytes) {
      focusField(field);
      return false;
    }
    out += *bytes;
    return true;
  };
  if (!append(serial_, serial_->text(), edited.serial)) return;
  if (!append(word_, word_->text(), edited.word)) return;
  std::vector<MorphemeRow> morphemes(rows_.size());
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    const Row& r = rows_[k];
    MorphemeRow& m = morphemes[k];
    m.apply = r.apply->isChecked();
    if (!m.apply) continue;
    if (!append(r.text, r.text->text(), m.text)) return;
    if (!append(r.marker, r.marker->currentText(), m.marker)) return;
    if (!append(r.tag, r.tag->currentText(), m.tag)) return;
  }
  edited.analysis = joinMorphemes(morphemes);
  result_ = std::move(edited);
  QDialog::accept();
}

bool AnalysisEditor::eventFilter(QObject* watched, QEvent* event) {
  if (scroll_ && watched == scroll_->verticalScrollBar() &&
      (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
    updateHeaderMargins();
  }
  return QDialog::eventFilter(watched, event);
}

void AnalysisEditor::updateHeaderMargins() {
  // The headings sit above the scroll area: match its frame, the rows' margin and, while
  // the rows scroll, its scroll bar.
  const int side = scroll_->frameWidth() + kRowsMargin;
  const QScrollBar* bar = scroll_->verticalScrollBar();
  const int barWidth = bar->isVisibleTo(scroll_) ? bar->sizeHint().width() : 0;
  headerLayout_->setContentsMargins(side, 0, side + barWidth, 0);
}

}  // namespace selvanor
