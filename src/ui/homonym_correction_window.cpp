#include "ui/homonym_correction_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui_base/grid_model.h"
#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "ui_base/window_placement.h"
#include "store/grid/row_cache.h"

namespace selvanor {
namespace {

QString oneLine(const std::string& cp949) {
  QString text = fromCp949(cp949);
  text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

}  // namespace

SelectionWindowPlace SelectionWindowPlace::load(QSettings& profile) {
  SelectionWindowPlace p;
  profile.beginGroup(QStringLiteral("Selvanor"));
  p.left = profile.value(QStringLiteral("xpos"), QStringLiteral("-1")).toInt();
  p.top = profile.value(QStringLiteral("ypos"), QStringLiteral("0")).toInt();
  p.right = profile.value(QStringLiteral("x2pos"), QStringLiteral("10")).toInt();
  p.bottom = profile.value(QStringLiteral("y2pos"), QStringLiteral("10")).toInt();
  profile.endGroup();
  return p;
}

void SelectionWindowPlace::save(QSettings& profile, const QPoint& topLeft) {
  profile.beginGroup(QStringLiteral("Selvanor"));
  profile.setValue(QStringLiteral("xpos"), QString::number(topLeft.x()));
  profile.setValue(QStringLiteral("ypos"), QString::number(topLeft.y()));
  profile.setValue(QStringLiteral("x2pos"), QString::number(topLeft.x() + 620));
  profile.setValue(QStringLiteral("y2pos"), QString::number(topLeft.y() + 360));
  profile.endGroup();
}

// ---- selection window ----------------------------------------------------------------

HomonymSelectionWindow::HomonymSelectionWindow(UserInteraction& ui, QSettings& profile,
                                               QWidget* parent)
    : QDialog(parent), ui_(ui), profile_(profile) {
  setWindowTitle(QStringLiteral("동음어 사전"));
  morpheme_ = new QLineEdit(this);
  morpheme_->setReadOnly(true);
  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setHeaderLabels({QStringLiteral("음"), QStringLiteral("음번호"), QStringLiteral("한자"),
                          QStringLiteral("의미")});
  // The meaning takes what the other columns leave; those are sized to what they list.
  list_->header()->setStretchLastSection(true);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* chooseButton = new QPushButton(QStringLiteral("선택하기"), this);
  auto* skipButton = new QPushButton(QStringLiteral("지나가기"), this);
  auto* stopButton = new QPushButton(QStringLiteral("멈추기"), this);
  chooseButton->setDefault(true);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("동음어"), this));
  top->addWidget(morpheme_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(chooseButton);
  buttons->addWidget(skipButton);
  buttons->addWidget(stopButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  resize(620, 360);

  connect(chooseButton, &QPushButton::clicked, this, &HomonymSelectionWindow::choose);
  connect(skipButton, &QPushButton::clicked, this, &HomonymSelectionWindow::skip);
  connect(stopButton, &QPushButton::clicked, this, &HomonymSelectionWindow::stop);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &HomonymSelectionWindow::choose);
  connect(list_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (QTreeWidgetItem* item = list_->itemAt(pos)) {
      list_->setCurrentItem(item);
      choose();
    }
  });
}

ChoiceResult HomonymSelectionWindow::ask(const QString& morpheme,
                                         const std::vector<HomonymSense>& senses) {
  morpheme_->setText(morpheme);
  list_->clear();
  for (const HomonymSense& s : senses) {
    list_->addTopLevelItem(new QTreeWidgetItem(
        {oneLine(s.headword), oneLine(s.numberedForm), oneLine(s.hanja), oneLine(s.meaning)}));
  }
  for (int c = 0; c < 3; ++c) list_->resizeColumnToContents(c);
  placeOnScreen();
  result_ = {SenseChoice::Skip, {}};
  exec();
  return result_;
}

void HomonymSelectionWindow::placeOnScreen() {
  const SelectionWindowPlace place = SelectionWindowPlace::load(profile_);
  const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect();
  if (place.left < 0) {
    // Never placed: the default place, moved down out of the progress list's way.
    move(area.center().x() - width() / 2, area.center().y() - height() / 2 + 350);
  } else {
    setGeometry(place.left, place.top, std::max(place.right - place.left, 200),
                std::max(place.bottom - place.top, 150));
  }
  if (area.isEmpty()) return;
  // The whole window on the screen, its title bar and frame included (a window never shown
  // does not know them yet: leave room for them).
  const QRect frame = isVisible() ? frameGeometry() : geometry().adjusted(-8, -32, 8, 8);
  const QPoint corner = keepOnScreen(frame, area);
  move(pos() + (corner - frame.topLeft()));
}

void HomonymSelectionWindow::setListFont(const QFont& font) { list_->setFont(font); }

void HomonymSelectionWindow::savePlace() { SelectionWindowPlace::save(profile_, pos()); }

void HomonymSelectionWindow::choose() {
  savePlace();
  QTreeWidgetItem* item = list_->currentItem();
  if (!item || !item->isSelected()) return;
  const QString form = item->text(1);
  if (!ui_.confirm(form, QString::fromUtf8(homonymmsg::kConfirmCaption))) return;
  // The list shows CP949 text converted for display; convert back exactly.
  auto bytes = toCp949(form, ui_);
  if (!bytes) return;
  result_ = {SenseChoice::Chosen, std::move(*bytes)};
  accept();
}

void HomonymSelectionWindow::skip() {
  result_ = {SenseChoice::Skip, {}};
  savePlace();
  QDialog::reject();
}

void HomonymSelectionWindow::stop() {
  result_ = {SenseChoice::Stop, {}};
  savePlace();
  QDialog::reject();
}

void HomonymSelectionWindow::reject() { skip(); }

void HomonymSelectionWindow::closeEvent(QCloseEvent* event) {
  if (result_.choice != SenseChoice::Chosen && result_.choice != SenseChoice::Stop) {
    result_ = {SenseChoice::Skip, {}};
    savePlace();
  }
  QDialog::closeEvent(event);
}

// ---- progress window ------------------------------------------------------------------

HomonymCorrectionWindow::HomonymCorrectionWindow(UserInteraction& ui, QSettings& profile,
                                                 RowCache& cache, HomonymLookup& lookup,
                                                 QWidget* parent)
    : QDialog(parent), ui_(ui), cache_(cache), lookup_(lookup) {
  setWindowTitle(QStringLiteral("동음어 수정"));
  model_ = new AnalysisGridModel(cache_, this);
  table_ = new QTableView(this);
  table_->setModel(model_);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  table_->horizontalHeader()->setStretchLastSection(true);
  sizeColumns();
  table_->setEnabled(false);
  position_ = new QLabel(this);
  position_->setObjectName(QStringLiteral("homonymPosition"));
  position_->setContentsMargins(6, 2, 6, 2);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(table_, 1);
  layout->addWidget(position_);
  setGeometry(0, 0, 800, 600);
  selection_ = new HomonymSelectionWindow(ui_, profile, this);
  chooser_ = [this](std::string_view m, const std::vector<HomonymSense>& senses) {
    return selection_->ask(fromCp949(m), senses);
  };
}

void HomonymCorrectionWindow::startDeferred() {
  QTimer::singleShot(100, this, [this] {
    model_->setLoaded(true);
    QTimer::singleShot(100, this, [this] { run(); });
  });
}

CorrectionOutcome HomonymCorrectionWindow::run() {
  model_->setLoaded(true);
  changedRows_ = 0;
  stopRequested_ = false;
  running_ = true;
  sincePaint_.start();
  outcome_ = runHomonymCorrection(cache_, lookup_, *this);
  running_ = false;
  table_->setEnabled(true);
  if (outcome_ == CorrectionOutcome::Completed) ui_.message(QString::fromUtf8(homonymmsg::kDone));
  if (outcome_ == CorrectionOutcome::DictionaryFailed) {
    ui_.warning(QString::fromUtf8(homonymmsg::kDictionaryFailed));
  }
  accept();
  return outcome_;
}

void HomonymCorrectionWindow::setListFont(const QFont& font) {
  table_->setFont(font);
  table_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 6);
  sizeColumns();
  selection_->setListFont(font);
}

// A whole serial and a long word in the table's font; the analysis takes the rest.
void HomonymCorrectionWindow::sizeColumns() {
  const QFontMetrics metrics(table_->font());
  table_->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("SVSMPL10000000W")) + 12);
  table_->setColumnWidth(1, metrics.horizontalAdvance(QStringLiteral("가나다라마바사아")) + 12);
}

void HomonymCorrectionWindow::showRow(int row) {
  const int count = model_->rowCount();
  position_->setText(QStringLiteral("%1 / %2    남은 기록 %3")
                         .arg(row + 1)
                         .arg(count)
                         .arg(std::max(count - row - 1, 0)));
  table_->selectRow(row);
  // Keep the next four rows in sight where there are four more.
  table_->scrollTo(model_->index(row >= 4 && row + 4 < count ? row + 4 : row, 0));
  // Rows without a homonym pass without asking: let the window show how far the run is.
  if (sincePaint_.elapsed() >= 50) {
    QCoreApplication::processEvents();
    sincePaint_.restart();
  }
}

void HomonymCorrectionWindow::reject() {
  if (running_) {
    stopRequested_ = true;  // run() closes the window when the walk has stopped
    return;
  }
  QDialog::reject();
}

ChoiceResult HomonymCorrectionWindow::choose(std::string_view morpheme,
                                             const std::vector<HomonymSense>& senses) {
  table_->setEnabled(true);
  ChoiceResult r = chooser_(morpheme, senses);
  table_->setEnabled(false);
  return r;
}

void HomonymCorrectionWindow::rowChanged(int row) {
  ++changedRows_;
  model_->refresh();
  table_->selectRow(row);
}

}  // namespace selvanor
