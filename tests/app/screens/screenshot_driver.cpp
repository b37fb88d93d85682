// Not a test: starts the workbench on a workspace the way `selvanor DOC.id` does, walks
// through its windows and saves a picture of the screen for each, so that their layout
// can be looked at (scripts/screenshots.sh runs it under a virtual X display).
//
//   selvanor_screens WORKSPACE OUTDIR PREFIX
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <functional>

#include "app/application.h"
#include "app/command_icons.h"
#include "app/command_table.h"
#include "app/dictionary_sheet.h"
#include "app/homonym_page.h"
#include "app/main_frame.h"
#include "app/reference_page.h"
#include "app/search_window.h"
#include "app/selvanor_view.h"
#include "app/unregistered_page.h"
#include "ui/statistics_presentation_dialog.h"
#include "ui/statistics_range_dialog.h"
#include "ui/tag_picker_dialog.h"
#include "ui_base/grid_model.h"
#include "ui_base/user_interaction.h"

using namespace selvanor;

namespace {

QString outDir;
QString prefix;
int shots = 0;
bool expectingModal = false;

void settle(int ms = 150) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void shoot(const QString& name) {
  settle();
  const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
  const QString path = QStringLiteral("%1/%2-%3-%4.png").arg(outDir, prefix).arg(++shots, 2, 10, QLatin1Char('0')).arg(name);
  if (!screen.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  else std::printf("%s\n", qPrintable(path));
}

// Runs `open` (which shows a modal window and waits in it); when the window (the one
// titled `title`, if given) shows, `prepare` may fill it, the screen is taken, and `close`
// (default: reject) ends it.
void shootModal(const QString& name, const std::function<void()>& open,
                const std::function<void(QWidget&)>& prepare = {},
                const std::function<void(QWidget&)>& close = {}, const QString& title = {}) {
  expectingModal = true;
  auto* timer = new QTimer;
  bool taken = false;
  QObject::connect(timer, &QTimer::timeout, [&, timer] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible()) return;
    if (!taken && !title.isEmpty() && w->windowTitle() != title) return;
    if (taken) {  // a window the first one opened in turn: close it too
      if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
      else w->close();
      return;
    }
    taken = true;
    timer->stop();
    if (prepare) prepare(*w);
    shoot(name);
    if (close) close(*w);
    else if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    else w->close();
    timer->start(20);
  });
  timer->start(20);
  open();
  timer->stop();
  timer->deleteLater();
  expectingModal = false;
  settle(50);
}

// A message box nobody asked for is taken as it is, then closed: the walk goes on.
void watchUnexpectedModals() {
  auto* watchdog = new QTimer(qApp);
  QObject::connect(watchdog, &QTimer::timeout, [] {
    QWidget* w = QApplication::activeModalWidget();
    if (expectingModal || !w || !w->isVisible()) return;
    expectingModal = true;
    shoot(QStringLiteral("unexpected"));
    expectingModal = false;
    if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    else w->close();
  });
  watchdog->start(100);
}

void clickButton(QWidget& w, const QString& text) {
  for (QAbstractButton* b : w.findChildren<QAbstractButton*>()) {
    if (b->text() == text && b->isVisible()) {
      b->click();
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: selvanor_screens WORKSPACE OUTDIR PREFIX\n");
    return 2;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Selvanor"));
  QApplication::setWindowIcon(programIcon());
  (void)installKoreanQtTranslations();
  const QString workspace = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  outDir = QString::fromLocal8Bit(argv[2]);
  prefix = QString::fromLocal8Bit(argv[3]);
  QDir().mkpath(outDir);
  QDir::setCurrent(workspace);
  watchUnexpectedModals();

  SelvanorApplication selvanor((workspace + QStringLiteral("/selvanor")).toStdString(), workspace.toStdString());
  selvanor.start(workspace + QStringLiteral("/분석문헌/sample.id"));
  CMainFrame& frame = *selvanor.frame();
  CSelvanorView& view = *frame.view();
  settle(400);
  view.selectRow(0);
  shoot(QStringLiteral("main"));

  // The dictionary bar's three pages, each with something found.
  CDicSheet& sheet = *frame.dictionarySheet();
  sheet.setCurrentIndex(0);
  sheet.homonymPage()->findChild<QLineEdit*>()->setText(QStringLiteral("시장"));
  sheet.homonymPage()->search();
  shoot(QStringLiteral("page-homonym"));
  sheet.setCurrentIndex(1);
  sheet.referencePage()->wordField()->setText(QStringLiteral("시장은"));
  sheet.referencePage()->search();
  shoot(QStringLiteral("page-reference"));
  sheet.setCurrentIndex(2);
  sheet.unregisteredPage()->findChild<QLineEdit*>()->setText(QString());
  sheet.unregisteredPage()->search();
  shoot(QStringLiteral("page-unregistered"));
  sheet.setCurrentIndex(0);

  // Keyboard: Ctrl+End keeps the serial and the word in sight.
  view.grid()->setFocus();
  view.selectRow(view.model()->rowCount() - 1);
  shoot(QStringLiteral("main-last-row"));
  view.selectRow(0);

  view.selectRow(5);
  shootModal(QStringLiteral("editor"), [&] { view.editCurrentRow(); });

  // The search window over the grid, then over the row it finds.
  view.runCommand(cmd::kSearch);
  SearchWindow* search = view.searchWindow();
  search->move(frame.geometry().center() - QPoint(search->width() / 2, search->height() / 2));
  search->setTarget(1);
  search->setPattern(QStringLiteral("시장*"));
  view.search();
  shoot(QStringLiteral("search-found"));
  search->hide();

  shootModal(QStringLiteral("corpus-manager"), [&] { view.runCommand(cmd::kManageDocuments); });

  // The homonym correction pair: the progress window and the selection window.
  shootModal(
      QStringLiteral("homonym-pair"), [&] { view.runCommand(cmd::kHomonymCorrect); }, {},
      [](QWidget& w) { clickButton(w, QStringLiteral("멈추기")); }, QStringLiteral("동음어 사전"));

  // The statistics dialogs.
  const int listings[] = {cmd::kStatsVocabulary, cmd::kStatsVocabularyTags, cmd::kStatsContentVocabulary,
                          cmd::kStatsContentVocabularyTags, cmd::kStatsTags};
  for (int i = 0; i < 5; ++i) {
    shootModal(QStringLiteral("statistics-%1").arg(i + 1), [&] { view.runCommand(listings[i]); });
  }
  shootModal(QStringLiteral("statistics-run-selection"), [&] { view.runCommand(cmd::kRunStatistics); });
  WidgetInteraction ui(&frame);
  shootModal(QStringLiteral("statistics-run-range"), [&] {
    StatisticsRangeDialog range(ui, [] { return std::optional<TagPick>(); }, &frame);
    range.exec();
  });
  for (int type = 1; type <= 5; type += 4) {
    shootModal(QStringLiteral("statistics-run-presentation-%1").arg(type), [&] {
      StatisticsPresentationDialog presentation(ui, type, &frame);
      presentation.exec();
    });
  }
  shootModal(QStringLiteral("statistics-tag-picker"), [&] {
    TagPickerDialog picker(ui, view.tags(), &frame);
    picker.exec();
  });
  shootModal(QStringLiteral("statistics-file"), [&] { view.runCommand(cmd::kBuildStatistics); });

  // The other small windows named in the command table.
  const std::pair<int, const char*> others[] = {
      {cmd::kSettings, "settings"}, {cmd::kAbout, "about"},
      {cmd::kBuildHomonymDictionary, "make-homonym"}, {cmd::kMergeHomonymDictionaries, "merge-homonym"},
      {cmd::kMergeUnregistered, "merge-unregistered"}, {cmd::kAutoCorrect, "auto-correct"},
      {cmd::kBuildReference, "build-reference"}, {cmd::kBuildDocument, "build-document"}};
  for (const auto& [id, name] : others) {
    shootModal(QString::fromLatin1(name), [&, id = id] { view.runCommand(id); });
  }
  // A chooser and a warning, to see them in Korean.
  shootModal(QStringLiteral("chooser"), [&] { (void)ui.chooseOpenFile(QStringLiteral("동음어 사전 Files (*.dic)|*.dic||"), workspace + QStringLiteral("/*.dic")); });
  view.runCommand(cmd::kCloseDocument);
  shootModal(QStringLiteral("closed-document-warning"), [&] { view.runCommand(cmd::kWorkErrorCheck); });
  return 0;
}
