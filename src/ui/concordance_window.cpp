#include "ui/concordance_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "analysis/result_tables.h"
#include "common/files.h"
#include "facade/dbwrap.h"
#include "stats/tag_manager.h"
#include "ui/concordance_models.h"
#include "ui_base/operation_progress.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "ui_base/window_placement.h"

namespace selvanor {
namespace {

const char kHistoryKey[] = "Concordance/queries";
const char kEnterQuery[] = "검색식을 입력해 주세요.";
const char kNoDocuments[] = "용례를 찾을 문헌이 없습니다.";
const char kNothingToExport[] = "내보낼 용례가 없습니다.";
const char kStopped[] = "용례 찾기를 멈췄습니다. 그때까지 찾은 것만 보입니다.";
const char kExportFilter[] = "TSV Files (*.tsv)|*.tsv||";

QTableView* makeTable(QWidget* parent, QAbstractItemModel* model) {
  auto* table = new QTableView(parent);
  table->setModel(model);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setWordWrap(false);
  table->verticalHeader()->setVisible(false);
  // Rows of one fixed height: the view never measures rows it does not show.
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return table;
}

QSpinBox* spin(QWidget* parent, int low, int high, int value, const char* name) {
  auto* box = new QSpinBox(parent);
  box->setRange(low, high);
  box->setValue(value);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QString perMillion(double value) { return QString::number(value, 'f', 2); }

}  // namespace

ConcordanceWindow::ConcordanceWindow(UserInteraction& ui, const TagManager& tags, QSettings& profile,
                                     ConcordanceHooks hooks, QWidget* parent)
    : QDialog(parent), ui_(ui), tags_(tags), profile_(profile), hooks_(std::move(hooks)) {
  setWindowTitle(QStringLiteral("용례 검색"));
  setModal(false);
  resize(1100, 640);
  linesModel_ = new ConcordanceModel(this);
  collocationModel_ = new CollocationModel(this);
  distributionModel_ = new DistributionModel(this);

  query_ = new QComboBox(this);
  query_->setEditable(true);
  query_->setInsertPolicy(QComboBox::NoInsert);
  query_->setObjectName(QStringLiteral("query"));
  query_->addItems(history());
  query_->setCurrentIndex(-1);
  query_->lineEdit()->setPlaceholderText(QStringLiteral("예: w:먹었다   */NNG+하/XSV   ^먹/VV []{0,2} */EF"));
  query_->setToolTip(QStringLiteral(
      "어절: w:먹었다, w:먹*   형태소: 먹/VV+었/EP, */NNG, ^첫 형태소, 끝 형태소$, */체언(태그 파일의 분류)\n"
      "아무 어절: [], []{0,3}   '*'는 앞이나 뒤에, '\\'는 다음 글자를 그대로"));
  auto* find = new QPushButton(QStringLiteral("찾 기"), this);
  find->setDefault(true);
  connect(find, &QPushButton::clicked, this, &ConcordanceWindow::runQuery);
  connect(query_->lineEdit(), &QLineEdit::returnPressed, this, &ConcordanceWindow::runQuery);

  context_ = spin(this, 0, 50, 5, "context");
  sort_ = new QComboBox(this);
  sort_->setObjectName(QStringLiteral("sort"));
  const std::pair<const char*, analysis::SortKey> sorts[] = {
      {"문헌 순서", analysis::SortKey::Document}, {"용례", analysis::SortKey::Hit},
      {"왼쪽 1", analysis::SortKey::Left1},      {"왼쪽 2", analysis::SortKey::Left2},
      {"왼쪽 3", analysis::SortKey::Left3},      {"오른쪽 1", analysis::SortKey::Right1},
      {"오른쪽 2", analysis::SortKey::Right2},    {"오른쪽 3", analysis::SortKey::Right3}};
  for (const auto& [name, key] : sorts) sort_->addItem(QString::fromUtf8(name), static_cast<int>(key));
  connect(sort_, qOverload<int>(&QComboBox::activated), this, [this] {
    linesModel_->sortBy(static_cast<analysis::SortKey>(sort_->currentData().toInt()));
  });
  auto* exportButton = new QPushButton(QStringLiteral("내보내기"), this);
  exportButton->setAutoDefault(false);
  connect(exportButton, &QPushButton::clicked, this, &ConcordanceWindow::exportLines);
  auto* copy = new QPushButton(QStringLiteral("복 사"), this);
  copy->setAutoDefault(false);
  connect(copy, &QPushButton::clicked, this, &ConcordanceWindow::copySelection);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("검색식"), this));
  top->addWidget(query_, 1);
  top->addWidget(find);
  auto* options = new QHBoxLayout;
  options->addWidget(new QLabel(QStringLiteral("문맥 어절 수"), this));
  options->addWidget(context_);
  options->addWidget(new QLabel(QStringLiteral("정렬"), this));
  options->addWidget(sort_);
  options->addStretch(1);
  options->addWidget(exportButton);
  options->addWidget(copy);

  scope_ = new QLabel(this);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("summary"));
  tabs_ = new QTabWidget(this);
  tabs_->addTab(makeLinesTab(), QStringLiteral("용례"));
  tabs_->addTab(makeCollocationsTab(), QStringLiteral("연어"));
  distribution_ = makeTable(this, distributionModel_);
  distribution_->horizontalHeader()->setSectionResizeMode(DistributionModel::kDocument, QHeaderView::Stretch);
  tabs_->addTab(distribution_, QStringLiteral("분포"));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(options);
  layout->addWidget(scope_);
  layout->addWidget(tabs_, 1);
  layout->addWidget(summary_);
  setDocuments({});
}

ConcordanceWindow::~ConcordanceWindow() = default;

QWidget* ConcordanceWindow::makeLinesTab() {
  lines_ = makeTable(this, linesModel_);
  lines_->setColumnWidth(ConcordanceModel::kLeft, 300);
  lines_->setColumnWidth(ConcordanceModel::kHit, 140);
  lines_->setColumnWidth(ConcordanceModel::kRight, 300);
  lines_->horizontalHeader()->setSectionsClickable(true);
  connect(lines_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { linesModel_->sort(column, Qt::AscendingOrder); });
  connect(lines_, &QTableView::doubleClicked, this, &ConcordanceWindow::activate);
  auto* copy = new QShortcut(QKeySequence::Copy, lines_);
  copy->setContext(Qt::WidgetShortcut);
  connect(copy, &QShortcut::activated, this, &ConcordanceWindow::copySelection);
  return lines_;
}

QWidget* ConcordanceWindow::makeCollocationsTab() {
  auto* page = new QWidget(this);
  left_ = spin(page, 0, 50, 5, "leftSpan");
  right_ = spin(page, 0, 50, 5, "rightSpan");
  minimum_ = spin(page, 1, 1000000, 1, "minimum");
  unit_ = new QComboBox(page);
  unit_->setObjectName(QStringLiteral("unit"));
  unit_->addItem(QStringLiteral("형태소 (형태/태그)"), static_cast<int>(analysis::CollocateUnit::Morpheme));
  unit_->addItem(QStringLiteral("어절"), static_cast<int>(analysis::CollocateUnit::Word));
  unit_->addItem(QStringLiteral("태그"), static_cast<int>(analysis::CollocateUnit::Tag));
  auto* run = new QPushButton(QStringLiteral("연어 찾기"), page);
  run->setAutoDefault(false);
  connect(run, &QPushButton::clicked, this, &ConcordanceWindow::runCollocations);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("왼쪽"), page));
  row->addWidget(left_);
  row->addWidget(new QLabel(QStringLiteral("오른쪽"), page));
  row->addWidget(right_);
  row->addWidget(new QLabel(QStringLiteral("단위"), page));
  row->addWidget(unit_);
  row->addWidget(new QLabel(QStringLiteral("최소 빈도"), page));
  row->addWidget(minimum_);
  row->addStretch(1);
  row->addWidget(run);
  collocates_ = makeTable(page, collocationModel_);
  collocates_->horizontalHeader()->setSortIndicator(CollocationModel::kLL, Qt::DescendingOrder);
  collocates_->setSortingEnabled(true);
  collocates_->setColumnWidth(CollocationModel::kCollocate, 200);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(row);
  layout->addWidget(collocates_, 1);
  return page;
}

void ConcordanceWindow::setDocuments(std::vector<std::string> documents) {
  documents_ = std::move(documents);
  if (documents_.size() == 1) {
    scope_->setText(QStringLiteral("찾을 문헌: ") + fromNativePath(documents_.front()));
  } else {
    scope_->setText(QStringLiteral("찾을 문헌: %1개").arg(documents_.size()));
  }
  QStringList names;
  for (const std::string& d : documents_) names << fromNativePath(d);
  scope_->setToolTip(names.join(QLatin1Char('\n')));
}

void ConcordanceWindow::setQuery(const QString& query) { query_->setEditText(query); }

QString ConcordanceWindow::query() const { return query_->currentText().trimmed(); }

QStringList ConcordanceWindow::history() const { return profile_.value(kHistoryKey).toStringList(); }

void ConcordanceWindow::remember(const QString& query) {
  QStringList queries = history();
  queries.removeAll(query);
  queries.prepend(query);
  while (queries.size() > kQueryHistorySize) queries.removeLast();
  profile_.setValue(kHistoryKey, queries);
  profile_.sync();
  query_->blockSignals(true);
  query_->clear();
  query_->addItems(queries);
  query_->setCurrentIndex(0);
  query_->blockSignals(false);
}

bool ConcordanceWindow::readyToRun() {
  if (query().isEmpty()) {
    ui_.warning(QString::fromUtf8(kEnterQuery));
    return false;
  }
  if (documents_.empty()) {
    ui_.warning(QString::fromUtf8(kNoDocuments));
    return false;
  }
  return true;
}

void ConcordanceWindow::runQuery() {
  if (!readyToRun()) return;
  const QString typed = query();
  const std::optional<std::string> text = toCp949(typed, ui_);
  if (!text) return;
  DBWrap db;
  analysis::QueryParse parsed = db.parseYongryeQuery(*text, &tags_);
  if (!parsed) {
    ui_.warning(QString::fromStdString(analysis::describe(parsed.error)));
    // CP949 characters are all in the basic plane: one QString character each.
    query_->lineEdit()->setCursorPosition(static_cast<int>(parsed.error.position) - 1);
    query_->setFocus();
    return;
  }
  remember(typed);
  analysis::ConcordanceRequest request;
  request.query = std::move(*parsed.query);
  request.documents = documents_;
  request.context = static_cast<std::size_t>(context_->value());
  request.sort = static_cast<analysis::SortKey>(sort_->currentData().toInt());
  request.limit = kMaxShownHits;
  OperationProgress progress(this, QStringLiteral("용례를 찾는 중입니다..."), /*cancellable=*/true);
  analysis::ConcordanceResult result = db.findYongrye(request, progress.callback());
  progress.finish();

  QString summary = QStringLiteral("적중 %1개 · 백만 어절당 %2 · 문헌 %3개, %4어절")
                        .arg(result.totalHits)
                        .arg(perMillion(result.perMillion()))
                        .arg(result.documents.size())
                        .arg(result.totalTokens);
  if (result.totalHits > result.hits.size()) {
    summary += QStringLiteral(" · 처음 %1줄만 보입니다").arg(result.hits.size());
  }
  summary_->setText(summary);
  QStringList failures;
  for (const analysis::DocumentCount& d : result.documents) {
    if (!d.failure.empty()) failures << QString::fromStdString(d.failure);
  }
  const bool cancelled = result.cancelled;
  distributionModel_->setCounts(result.documents);
  linesModel_->setResult(std::move(result));
  tabs_->setCurrentWidget(lines_);
  if (cancelled) ui_.message(QString::fromUtf8(kStopped));
  if (!failures.isEmpty()) ui_.warning(failures.join(QLatin1Char('\n')));
}

void ConcordanceWindow::runCollocations() {
  if (!readyToRun()) return;
  const std::optional<std::string> text = toCp949(query(), ui_);
  if (!text) return;
  if (left_->value() + right_->value() == 0) {
    ui_.warning(QStringLiteral("왼쪽이나 오른쪽 범위가 한 어절 이상이어야 합니다."));
    return;
  }
  DBWrap db;
  analysis::QueryParse parsed = db.parseYongryeQuery(*text, &tags_);
  if (!parsed) {
    ui_.warning(QString::fromStdString(analysis::describe(parsed.error)));
    query_->lineEdit()->setCursorPosition(static_cast<int>(parsed.error.position) - 1);
    return;
  }
  remember(query());
  analysis::CollocationRequest request;
  request.query = std::move(*parsed.query);
  request.documents = documents_;
  request.left = static_cast<std::size_t>(left_->value());
  request.right = static_cast<std::size_t>(right_->value());
  request.unit = static_cast<analysis::CollocateUnit>(unit_->currentData().toInt());
  request.minimum = static_cast<std::uint64_t>(minimum_->value());
  OperationProgress progress(this, QStringLiteral("연어를 찾는 중입니다..."), /*cancellable=*/true);
  analysis::CollocationResult result = db.findCollocates(request, progress.callback());
  progress.finish();
  if (result.cancelled) {
    ui_.message(QStringLiteral("연어 찾기를 멈췄습니다."));
    return;
  }
  const char* unitName = request.unit == analysis::CollocateUnit::Word ? "어절" : "형태소";
  summary_->setText(QStringLiteral("적중 %1개 · 범위 칸(W) %2 · 전체 %3 %4개 · 연어 %5개")
                        .arg(result.hits)
                        .arg(result.spanSlots)
                        .arg(QString::fromUtf8(unitName))
                        .arg(result.scopeUnits)
                        .arg(result.collocates.size()));
  QStringList failures;
  for (const analysis::DocumentCount& d : result.documents) {
    if (!d.failure.empty()) failures << QString::fromStdString(d.failure);
  }
  collocationModel_->setResult(std::move(result));
  // The order the header shows.
  const QHeaderView* header = collocates_->horizontalHeader();
  collocationModel_->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
  tabs_->setCurrentIndex(1);
  if (!failures.isEmpty()) ui_.warning(failures.join(QLatin1Char('\n')));
}

void ConcordanceWindow::exportLines() {
  const analysis::ConcordanceResult& result = linesModel_->result();
  if (result.hits.empty()) {
    ui_.message(QString::fromUtf8(kNothingToExport));
    return;
  }
  const QString chosen = ui_.chooseSaveFile(QString::fromUtf8(kExportFilter), QStringLiteral("concordance.tsv"));
  if (chosen.isEmpty()) return;
  const std::string path = nativePath(chosen);
  for (const std::string& d : documents_) {
    if (sameFile(path, d)) {
      ui_.warning(QStringLiteral("찾은 문헌에는 용례를 저장할 수 없습니다: ") + chosen);
      return;
    }
  }
  std::string text(analysis::kConcordanceHeader);
  for (const analysis::Hit& h : result.hits) text += analysis::concordanceLine(h, linesModel_->documentOf(h));
  if (analysis::writeTextFile(path, text)) {
    ui_.message(QStringLiteral("용례 %1줄을 저장했습니다: ").arg(result.hits.size()) + chosen);
  } else {
    ui_.warning(QStringLiteral("용례를 저장하지 못했습니다: ") + chosen);
  }
}

void ConcordanceWindow::copySelection() {
  std::set<int> rows;
  for (const QModelIndex& index : lines_->selectionModel()->selectedIndexes()) rows.insert(index.row());
  std::string text;
  for (int row : rows) {
    if (const analysis::Hit* h = linesModel_->hitAt(row)) text += analysis::concordanceLine(*h, linesModel_->documentOf(*h));
  }
  if (!text.empty()) QApplication::clipboard()->setText(QString::fromStdString(text));
}

void ConcordanceWindow::activate(const QModelIndex& index) {
  const analysis::Hit* hit = index.isValid() ? linesModel_->hitAt(index.row()) : nullptr;
  if (!hit || !hooks_.showRecord) return;
  const QRect band = hooks_.showRecord(linesModel_->documentOf(*hit), hit->record, hit->serial);
  if (band.isEmpty()) return;
  // Out of the way of the row the grid now shows.
  const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
  move(placeBeside(frameGeometry(), band, screen));
}

}  // namespace selvanor
