// Working in the grid all day: the keyboard keeps the serial and the word in sight, the
// analysis column fills the window, the search window stays off the row it found, and a
// closed document is closed for every command.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include "app/command_table.h"
#include "app/error_log_window.h"
#include "app/search_window.h"
#include "app/selvanor_view.h"
#include "support/app_fixture.h"
#include "support/modal_script.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui_base/grid_model.h"
#include "ui_base/window_placement.h"

using namespace selvanor;
using selvanor::test::k;

class WindowNavigationTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<CSelvanorView> view;
  std::unique_ptr<ErrorLogWindow> log;
  std::string doc;

  // `n` records whose analyses are far wider than any window.
  void openLongDocument(int n) {
    std::vector<AnalysisRecord> records;
    for (int i = 1; i <= n; ++i) {
      char serial[32];
      std::snprintf(serial, sizeof serial, "GSDTRN1%06d0", i);
      std::string analysis = k("낱말/NNG");
      for (int m = 0; m < 40; ++m) analysis += k(" + 조각/NNG");
      records.push_back({serial, k("낱말") + std::to_string(i), analysis});
    }
    test::writeDocument(doc, records);
    view->chooseDocument(QString::fromStdString(doc));
    view->startAnalysis();
  }
  void showView(int width, int height) {
    view->resize(width, height);
    view->move(0, 0);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
  }
  QTableView* grid() const { return view->grid(); }
  // The first two columns lie inside the viewport.
  bool serialAndWordInSight() const {
    return grid()->columnViewportPosition(0) == 0 &&
           grid()->columnViewportPosition(1) + grid()->columnWidth(1) <= grid()->viewport()->width();
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = std::make_unique<test::ScriptedInteraction>();
    view = std::make_unique<CSelvanorView>(*ui, nullptr);
    log = std::make_unique<ErrorLogWindow>();
    view->setErrorLog(log.get());
    doc = dir->file("doc.id");
    new QAbstractItemModelTester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 view.get());
  }
  void cleanup() {
    view.reset();
    log.reset();
    dir.reset();
  }

  // Home, End and their Ctrl forms move between the first and the last record and never
  // scroll the serial and the word out of the window.
  void keyboardNavigationKeepsColumnZeroVisible() {
    openLongDocument(300);
    showView(780, 500);
    grid()->setFocus();
    const int last = view->model()->rowCount() - 1;
    struct Step {
      int key;
      Qt::KeyboardModifiers modifiers;
      int row;
    };
    const Step steps[] = {{Qt::Key_End, Qt::ControlModifier, last}, {Qt::Key_Home, Qt::ControlModifier, 0},
                          {Qt::Key_End, Qt::NoModifier, last},      {Qt::Key_Up, Qt::NoModifier, last - 1},
                          {Qt::Key_Right, Qt::NoModifier, last - 1}, {Qt::Key_Home, Qt::NoModifier, 0},
                          {Qt::Key_PageDown, Qt::NoModifier, -1}};
    for (const Step& step : steps) {
      QTest::keyClick(grid(), Qt::Key(step.key), step.modifiers);
      const QString what = QKeySequence(step.key | step.modifiers).toString();
      if (step.row >= 0) QCOMPARE(view->currentRow(), step.row);
      QVERIFY2(view->currentRow() >= 0, qPrintable(what));
      QCOMPARE(grid()->currentIndex().column(), 0);
      QVERIFY2(serialAndWordInSight(), qPrintable(what));
    }
    // The chosen row is in view after Ctrl+End.
    QTest::keyClick(grid(), Qt::Key_End, Qt::ControlModifier);
    const QRect cell = grid()->visualRect(view->model()->index(last, 0));
    QVERIFY(grid()->viewport()->rect().contains(cell));
  }

  // The analysis column takes what the first two leave: no sideways scroll bar, and the
  // whole of a long analysis is in the cell's tooltip.
  void lastColumnFillsTheViewport() {
    openLongDocument(5);
    for (const QSize size : {QSize(780, 500), QSize(640, 400)}) {
      showView(size.width(), size.height());
      QApplication::processEvents();
      const int total = grid()->columnWidth(0) + grid()->columnWidth(1) + grid()->columnWidth(2);
      QCOMPARE(total, grid()->viewport()->width());
      QCOMPARE(grid()->horizontalScrollBar()->maximum(), 0);
    }
    const QModelIndex analysis = view->model()->index(2, 2);
    const QString tip = view->model()->data(analysis, Qt::ToolTipRole).toString();
    QCOMPARE(tip, view->model()->data(analysis, Qt::DisplayRole).toString());
    QVERIFY(tip.size() > 300);
    QVERIFY(!view->model()->data(view->model()->index(2, 0), Qt::ToolTipRole).isValid());
  }

  // After 작업 문헌 닫기 every command that needs a document says so, as before any
  // document was opened, and none opens its dialog or touches the file.
  void closedDocumentIsRefused() {
    openLongDocument(3);
    WorkingContext c = view->context();
    c.homonymDictionary = dir->file("h.dic");
    view->setWorkingContext(c);
    view->runCommand(cmd::kCloseDocument);
    ui->messages.clear();
    const int commands[] = {cmd::kWorkErrorCheck,  cmd::kAutoCorrect,      cmd::kHomonymCorrect,
                            cmd::kHomonymReview,   cmd::kBuildReference,   cmd::kBuildStatistics,
                            cmd::kReviewInDocument, cmd::kStartAnalysis,   cmd::kSearch};
    test::ModalScript<QDialog> unexpectedDialogs({});
    for (int id : commands) view->runCommand(id);
    QCOMPARE(ui->messages, QStringList(std::size(commands), "문헌 파일을 열어 주세요 "));
    QCOMPARE(ui->warnings.size(), int(std::size(commands)));
    QCOMPARE(unexpectedDialogs.unexpected, 0);
    QVERIFY(ui->filters.isEmpty());
    QCOMPARE(log->text(), QString());
    QVERIFY(!view->gridLoaded());
    QCOMPARE(test::readDocument(doc).size(), std::size_t(3));
    // Opening a document again makes them work again.
    view->chooseDocument(QString::fromStdString(doc));
    view->startAnalysis();
    ui->messages.clear();
    view->runCommand(cmd::kWorkErrorCheck);
    QCOMPARE(ui->messages.last(), QString("오류 검사가 완료 되었습니다."));
  }

  // The search window moves off the row it found, also when that row was under it.
  void searchWindowStaysOffTheFoundRow() {
    openLongDocument(60);
    showView(780, 560);
    view->selectRow(0);
    view->runCommand(cmd::kSearch);
    SearchWindow* search = view->searchWindow();
    QVERIFY(QTest::qWaitForWindowExposed(search));
    search->setTarget(0);
    for (const char* serial : {"GSDTRN10000100", "GSDTRN10000300", "GSDTRN10000550"}) {
      // Put the window over the middle of the grid, where the next row will be found.
      search->move(100, view->mapToGlobal(QPoint(0, view->height() / 2 - 60)).y());
      QApplication::processEvents();
      search->setPattern(serial);
      view->search();
      const int row = view->currentRow();
      QCOMPARE(view->model()->data(view->model()->index(row, 0)).toString(), QString(serial));
      const QRect cell = grid()->visualRect(view->model()->index(row, 0));
      const QRect band(grid()->viewport()->mapToGlobal(cell.topLeft()),
                       QSize(grid()->viewport()->width(), cell.height()));
      QVERIFY2(!search->frameGeometry().intersects(band), serial);
      QVERIFY(search->screen()->availableGeometry().contains(search->frameGeometry()));
    }
  }

  void placementRules() {
    const QRect screen(0, 0, 1600, 1000);
    const QRect window(600, 400, 400, 200);
    // Not in the way: it stays.
    QCOMPARE(placeBeside(window, QRect(0, 100, 1600, 24), screen), QPoint(600, 400));
    // Over the row: just below it, or above it where below has no room.
    QCOMPARE(placeBeside(window, QRect(0, 450, 1600, 24), screen), QPoint(600, 482));
    QCOMPARE(placeBeside(QRect(600, 750, 400, 200), QRect(0, 800, 1600, 24), screen), QPoint(600, 592));
    // Neither fits (a window as tall as the screen): it keeps its place on the screen.
    QCOMPARE(placeBeside(QRect(600, 0, 400, 1000), QRect(0, 500, 1600, 24), screen), QPoint(600, 0));
    // Kept on the screen: pulled back from every edge, a too large window at the top left.
    QCOMPARE(keepOnScreen(QRect(1500, 900, 400, 200), screen), QPoint(1200, 800));
    QCOMPARE(keepOnScreen(QRect(-50, -20, 400, 200), screen), QPoint(0, 0));
    QCOMPARE(keepOnScreen(QRect(100, 100, 2000, 1200), screen), QPoint(0, 0));
    QCOMPARE(keepOnScreen(QRect(100, 100, 400, 200), QRect(1600, 0, 1024, 768)), QPoint(1600, 100));
  }
};

QTEST_MAIN(WindowNavigationTest)
#include "window_navigation_test.moc"
