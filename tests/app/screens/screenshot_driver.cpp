// Not a test: starts the workbench on a workspace the way `selvanor DOC.id` does, walks
// through its windows and saves a picture of the screen for each, so that their layout
// can be looked at (scripts/screenshots.sh runs it under a virtual X display). Among them
// the 편집 menu open, the status bar with the record's position and a progress dialog half
// way through a long build.
//
//   selvanor_screens WORKSPACE OUTDIR PREFIX
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QStatusBar>
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
#include "facade/dbwrap.h"
#include "ui_base/grid_model.h"
#include "ui_base/operation_progress.h"
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

// A picture of one widget only (a bar of the main window), beside the screen's pictures.
void shootWidget(const QString& name, QWidget& w) {
  settle();
  const QString path = QStringLiteral("%1/%2-%3-%4.png").arg(outDir, prefix).arg(++shots, 2, 10, QLatin1Char('0')).arg(name);
  if (!w.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  else std::printf("%s\n", qPrintable(path));
}

// A generated analysed text of `lines` lines (CP949 is ASCII here), for a build that runs
// long enough to be seen.
QString writeLongInput(const QString& folder, int lines) {
  const QString path = folder + QStringLiteral("/screens-long-input.txt");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  QByteArray text;
  for (int i = 1; i <= lines; ++i) {
    text += QStringLiteral("SCRN%1 word%2 word%2/NNG\n").arg(i, 8, 10, QLatin1Char('0')).arg(i % 977).toLatin1();
    if (text.size() > (1 << 20)) {
      file.write(text);
      text.clear();
    }
  }
  file.write(text);
  return path;
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

  // The 편집 menu with both commands enabled (two edits, one taken back), and the status
  // bar with the record's position.
  for (int row : {7, 8}) {
    view.selectRow(row);
    if (const std::optional<AnalysisRecord> old = view.rowCache().readRecord(row)) {
      AnalysisRecord edited = *old;
      edited.analysis += " ";
      view.applyEdit(row, *old, edited);
    }
  }
  view.undoEdit();
  view.selectRow(8);
  if (auto* edit = frame.findChild<QMenu*>(QStringLiteral("editMenu"))) {
    frame.menuBar()->setActiveAction(edit->menuAction());
    shoot(QStringLiteral("edit-menu"));
    edit->close();
    frame.menuBar()->setActiveAction(nullptr);
  }
  view.undoEdit();  // the sample document as it was
  shootWidget(QStringLiteral("status-bar"), *frame.statusBar());

  // A progress dialog while a long build runs: the picture is taken at half way.
  {
    const QString input = writeLongInput(workspace, 200000);
    DBWrap db;
    OperationProgress progress(&frame, QStringLiteral("분석 문헌 만들기"), true);
    bool taken = false;
    expectingModal = true;
    const ResultCode rc = db.makeBunsukDB(
        input.toStdString(), (workspace + QStringLiteral("/screens-long.id")).toStdString(), "",
        SerialMode::Numbered, false, [&](std::uint64_t done, std::uint64_t total) {
          const bool go = progress.update(done, total);
          if (!taken && total > 0 && done * 2 >= total) {
            taken = true;
            progress.dialog()->setValue(static_cast<int>(done * OperationProgress::kSteps / total));
            progress.dialog()->show();
            shoot(QStringLiteral("progress-mid-run"));
          }
          return go;
        });
    progress.finish();
    expectingModal = false;
    if (rc != result::kOk) std::fprintf(stderr, "the long build gave %d\n", rc);
    QFile::remove(input);
    QFile::remove(workspace + QStringLiteral("/screens-long.id"));
  }

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

  // Batch jobs, the comparison with a reference file and the document merge.
  shootModal(QStringLiteral("modify-documents"), [&] { view.runCommand(cmd::kModifyDocuments); });
  shootModal(QStringLiteral("compare-with-reference"), [&] { view.runCommand(cmd::kCompareWithReference); });
  shootModal(QStringLiteral("merge-documents"), [&] { view.runCommand(cmd::kMergeDocuments); });

  // The 도움말 menu open, then the user guide it opens.
  for (QAction* top : frame.menuBar()->actions()) {
    if (!top->menu() || top->text() != QStringLiteral("도움말(&H)")) continue;
    frame.menuBar()->setActiveAction(top);
    shoot(QStringLiteral("help-menu"));
    top->menu()->close();
    frame.menuBar()->setActiveAction(nullptr);
  }
  view.runCommand(cmd::kUserGuide);
  if (auto* guide = frame.findChild<QWidget*>(QStringLiteral("userGuideWindow"))) {
    guide->move(frame.geometry().topLeft() + QPoint(40, 40));
    shoot(QStringLiteral("user-guide"));
    guide->close();
  }

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
  shootModal(QStringLiteral("chooser"), [&] { (void)ui.chooseOpenFile(QStringLiteral("동음어 사전  (*.dic)|*.dic||"), workspace + QStringLiteral("/*.dic")); });
  view.runCommand(cmd::kCloseDocument);
  shootModal(QStringLiteral("closed-document-warning"), [&] { view.runCommand(cmd::kWorkErrorCheck); });
  return 0;
}
