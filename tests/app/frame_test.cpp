// The main frame: menus and captions from the command table, the toolbar order, prompts,
// bars and their persisted sizes, window titles.
#include <QAction>
#include <QApplication>
#include <QSet>

#include <functional>
#include <QDockWidget>
#include <QLabel>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>

#include "app/about_dialog.h"
#include "app/bar_sizes.h"
#include "app/command_icons.h"
#include "app/error_log_window.h"
#include "app/command_table.h"
#include "app/dictionary_sheet.h"
#include "app/homonym_page.h"
#include "app/reference_page.h"
#include "app/unregistered_page.h"
#include "app/user_guide_window.h"
#include "app/main_frame.h"
#include "app/selvanor_view.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"

using namespace selvanor;

class FrameTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<QSettings> profile;
  test::ScriptedInteraction ui;

  std::unique_ptr<CMainFrame> makeFrame() {
    return std::make_unique<CMainFrame>(ui, nullptr, *profile);
  }

  static QStringList titlesOf(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) out << (a->isSeparator() ? QString("|") : a->text());
    return out;
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    profile = std::make_unique<QSettings>(QString::fromStdString(dir->file("profile.ini")), QSettings::IniFormat);
  }
  void cleanup() {
    profile.reset();
    dir.reset();
  }

  void menusFollowTheCommandTable() {
    auto frame = makeFrame();
    QCOMPARE(titlesOf(frame->menuBar()->actions()),
             QStringList({"문헌 관리(&F)", "편집(&E)", "전처리(&P)", "어절 분석(&A)", "후처리(&R)", "통계(&S)",
                          "목록 관리(&L)", "보기(&V)", "환경 설정(&O)", "도움말(&H)"}));
    QMenu* documents = frame->menuBar()->actions()[0]->menu();
    QCOMPARE(titlesOf(documents->actions()),
             QStringList({"분석 문헌 만들기", "작업 문헌 열기", "작업 문헌 닫기", "분석 문헌 관리",
                          "분석 문헌 수정", "분석문헌 합치기"}));
    QMenu* lists = frame->menuBar()->actions()[6]->menu();
    QCOMPARE(titlesOf(lists->actions()),
             QStringList({"동음어 사전 관리(&H)", "미등재어 사전 관리(&U)", "오류 기록창 관리(&E)", "참조 파일 관리(&R)"}));
    // Every command exists; those whose work is not built yet are disabled, never fake.
    for (const CommandSpec& entry : commandTable()) {
      QAction* a = frame->action(entry.id);
      QVERIFY2(a, qPrintable(QString::number(entry.id)));
      if (!entry.available) QVERIFY2(!a->isEnabled(), qPrintable(QString::number(entry.id)));
    }
    QVERIFY(frame->action(cmd::kWorkErrorCheck)->isEnabled());
    QVERIFY(!frame->action(cmd::kCloseDocument)->isEnabled());
    QCOMPARE(frame->action(cmd::kSearch)->shortcut(), QKeySequence("Ctrl+F"));
    // The menu prints the shortcut beside the item: the caption does not repeat it.
    QCOMPARE(frame->action(cmd::kSearch)->text(), QString("검 색"));
  }

  // Every menu, top level and submenu, has its own access key among its neighbours.
  void menusHaveDistinctAccessKeys() {
    auto frame = makeFrame();
    const std::function<void(const QList<QAction*>&, bool)> check = [&](const QList<QAction*>& actions,
                                                                         bool topLevel) {
      QSet<QChar> keys;
      for (QAction* a : actions) {
        if (a->isSeparator() || (!topLevel && !a->menu())) continue;
        const int at = a->text().indexOf('&');
        QVERIFY2(at >= 0 && at + 1 < a->text().size(), qPrintable(a->text()));
        const QChar key = a->text().at(at + 1).toUpper();
        QVERIFY2(!keys.contains(key), qPrintable(a->text()));
        keys.insert(key);
        if (a->menu()) check(a->menu()->actions(), false);
      }
    };
    check(frame->menuBar()->actions(), true);
  }

  // Each command its own picture, 실행 취소 and 다시 실행 of the 편집 menu included: no two
  // share an icon, none is empty.
  void everyCommandHasItsOwnIcon() {
    auto frame = makeFrame();
    QList<QPair<QString, QAction*>> actions;
    for (const CommandSpec& entry : commandTable()) {
      actions.append({QString::number(entry.id), frame->action(entry.id)});
    }
    for (const char* name : {"editUndo", "editRedo"}) {
      QAction* a = frame->findChild<QAction*>(name);
      QVERIFY2(a, name);
      actions.append({QString::fromLatin1(name), a});
    }
    QMap<QByteArray, QString> seen;
    for (const auto& [name, action] : actions) {
      const QIcon icon = action->icon();
      QVERIFY2(!icon.isNull(), qPrintable(name));
      const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
      QVERIFY2(!image.isNull(), qPrintable(name));
      const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes()));
      QVERIFY2(!seen.contains(bytes), qPrintable(QString("%1 looks like %2").arg(name, seen.value(bytes))));
      seen.insert(bytes, name);
    }
    QVERIFY(!programIcon().isNull());
    // The bundled drawings stand in where the desktop's theme has none.
    QVERIFY(!undoIcon().pixmap(16, 16).isNull());
    QVERIFY(!redoIcon().pixmap(16, 16).isNull());
  }

  // 보기: one checkable item per bar; unchecking hides the bar, checking brings it back.
  void viewMenuShowsAndHidesEachBar() {
    auto frame = makeFrame();
    frame->resize(1200, 800);
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    QMenu* view = nullptr;
    for (QAction* a : frame->menuBar()->actions()) {
      if (a->text() == QStringLiteral("보기(&V)")) view = a->menu();
    }
    QVERIFY(view);
    QStringList captions;
    for (QAction* a : view->actions()) {
      if (a->isSeparator()) continue;
      captions << a->text();
      QVERIFY(a->isCheckable());
      QVERIFY2(a->isChecked(), qPrintable(a->text()));
    }
    QCOMPARE(captions, QStringList({"도구 모음(&T)", "상태 표시줄(&S)", "에러창(&E)", "사전(&D)"}));
    auto* toolbar = frame->findChild<QToolBar*>("toolbar");
    const QList<QWidget*> bars = {toolbar, frame->statusBar(), frame->errorBar(), frame->dictionaryBar()};
    int i = 0;
    for (QAction* a : view->actions()) {
      if (a->isSeparator()) continue;
      QWidget* bar = bars[i++];
      a->trigger();
      QVERIFY2(bar->isHidden(), qPrintable(a->text()));
      QVERIFY(!a->isChecked());
      a->trigger();
      QVERIFY2(bar->isVisible(), qPrintable(a->text()));
    }
    // Closing a bar by its own control unchecks its item.
    frame->errorBar()->close();
    QVERIFY(!frame->errorBar()->toggleViewAction()->isChecked());
  }

  // Lines appended to a closed error bar bring it back: a check's results are never unseen.
  void closedErrorBarReappearsOnAppend() {
    auto frame = makeFrame();
    frame->resize(1200, 800);
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    frame->errorBar()->close();
    QVERIFY(frame->errorBar()->isHidden());
    const std::string doc = dir->file("doc.id");
    test::writeDocument(doc, {{"A0000010", test::k("말"), "x/BAD"}, {"A0000020", test::k("말"), "y/NNG"}});
    frame->view()->chooseDocument(QString::fromStdString(doc));
    frame->view()->startAnalysis();
    frame->view()->runCommand(cmd::kWorkErrorCheck);  // empty tag set: both records fail
    QVERIFY(frame->errorBar()->isVisible());
    QVERIFY(frame->errorBar()->toggleViewAction()->isChecked());
    QCOMPARE(frame->errorLog()->pane()->blockCount(), 2);
    frame->errorBar()->close();
    frame->view()->selectRow(1);
    frame->view()->addCurrentRowToErrorLog();
    QVERIFY(frame->errorBar()->isVisible());
    QVERIFY(frame->errorLog()->pane()->toPlainText().endsWith("A0000020 " + QString("말") + " y/NNG"));
  }

  // The dictionary bar opens with room for six rows of its lists (four senses of 시장 and
  // more); a size the user saved still wins.
  void dictionaryBarOpensWithRoomForSixRows() {
    {
      auto frame = makeFrame();
      frame->resize(1600, 1000);
      frame->show();
      QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
      QApplication::processEvents();
      QTableView* list = frame->dictionarySheet()->homonymPage()->list();
      const int rowHeight = list->verticalHeader()->defaultSectionSize();
      QVERIFY2(list->viewport()->height() >= 6 * rowHeight,
               qPrintable(QString("%1 < 6 x %2").arg(list->viewport()->height()).arg(rowHeight)));
      frame->resizeDocks({frame->dictionaryBar()}, {120}, Qt::Vertical);
      QApplication::processEvents();
      frame->close();
    }
    QVERIFY(profile->value("BarState-SCBar-124/sizeHorzCY").toInt() < 200);
    profile->remove("BarState");  // the sizes alone
    auto again = makeFrame();
    again->resize(1600, 1000);
    again->show();
    QVERIFY(QTest::qWaitForWindowExposed(again.get()));
    QApplication::processEvents();
    QVERIFY2(again->dictionaryBar()->height() < 200, qPrintable(QString::number(again->dictionaryBar()->height())));
  }

  // On a small screen the bars open lower than six rows, so that the grid keeps the larger
  // part of the window; the six rows stay where there is room. A saved size still wins.
  void smallWindowLeavesTheGridTheLargerPart() {
    {
      auto frame = makeFrame();
      frame->resize(1024, 700);
      frame->show();
      QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
      QApplication::processEvents();
      const int grid = frame->view()->height();
      const int bars = frame->dictionaryBar()->height();
      QVERIFY2(grid > bars && bars <= (grid + bars) * 0.42,
               qPrintable(QString("grid %1, bars %2").arg(grid).arg(bars)));
      QVERIFY(bars >= 150);  // still a useful bar: the list shows some rows
      QCOMPARE(frame->errorBar()->height(), bars);
      frame->resizeDocks({frame->dictionaryBar()}, {400}, Qt::Vertical);
      QApplication::processEvents();
      frame->close();
    }
    QVERIFY(profile->value("BarState-SCBar-124/sizeHorzCY").toInt() >= 380);
    profile->remove("BarState");  // the sizes alone
    auto again = makeFrame();
    again->resize(1024, 700);
    again->show();
    QVERIFY(QTest::qWaitForWindowExposed(again.get()));
    QApplication::processEvents();
    QVERIFY2(again->dictionaryBar()->height() >= 380, qPrintable(QString::number(again->dictionaryBar()->height())));
    QCOMPARE(defaultBarHeight(300, 1000), 300);
    QCOMPARE(defaultBarHeight(300, 500), 200);
    QCOMPARE(defaultBarHeight(300, 40), BarSizes::kMinHorizontal.height());
  }

  void aboutBoxHasRoomForItsLine() {
    AboutDialog about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QVERIFY(about.width() >= 360 && about.height() >= 150);
    auto* line = about.findChild<QLabel*>();
    QVERIFY(line);
    QCOMPARE(about.findChildren<QPushButton*>().size(), 1);
    QCOMPARE(about.findChild<QPushButton*>()->text(), QString("확인"));
    about.close();
  }

  // 도움말 opens the guide (F1) and keeps the about box; the guide's first page shows
  // every picture it names, a link opens the next page in the same window, and a second
  // request raises that window rather than making another.
  void helpMenuOpensTheGuideWithItsPictures() {
    ui.messages.clear();  // what earlier cases left
    auto frame = makeFrame();
    QMenu* help = frame->menuBar()->actions().last()->menu();
    QCOMPARE(titlesOf(help->actions()), QStringList({"사용 설명서(&G)", "selvanor 정보(&A)..."}));
    QCOMPARE(frame->action(cmd::kUserGuide)->shortcut(), QKeySequence(QKeySequence::HelpContents));
    frame->action(cmd::kUserGuide)->trigger();
    auto* guide = frame->findChild<UserGuideWindow*>();
    QVERIFY(guide && guide->isVisible());
    QTextBrowser* page = guide->browser();
    QVERIFY(page->toPlainText().startsWith("Selvanor 사용 설명서"));
    int pictures = 0;
    for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (!it.fragment().charFormat().isImageFormat()) continue;
        const QString name = it.fragment().charFormat().toImageFormat().name();
        const QImage image = page->document()->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
        QVERIFY2(!image.isNull(), qPrintable(name));
        QVERIFY2(image.width() <= 900, qPrintable(name));  // scaled to the reading column
        ++pictures;
      }
    }
    QVERIFY(pictures > 0);
    page->setSource(QUrl("01-start.md"));
    QVERIFY(page->toPlainText().startsWith("1. 설치와 첫 실행"));
    QVERIFY(page->isBackwardAvailable());
    frame->action(cmd::kUserGuide)->trigger();
    QCOMPARE(frame->findChildren<UserGuideWindow*>().size(), 1);
    QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.messages.join(" / ")));
  }

  void toolbarOrderAndPrompts() {
    auto frame = makeFrame();
    auto* toolbar = frame->findChild<QToolBar*>("toolbar");
    QVERIFY(toolbar);
    QStringList ids;
    for (QAction* a : toolbar->actions()) ids << (a->isSeparator() ? QString("|") : a->data().toString());
    QCOMPARE(ids.join(' '), QString("32797 32772 32773 32774 32807 | 32775 32776 32802 | 32808 | 32804 32806 | "
                                    "32812 32798 32799 32800 32788 | 32818 32826 32827 | 32820 32821 | 32817 57664"));
    QAction* check = frame->action(cmd::kWorkErrorCheck);
    QCOMPARE(check->statusTip(), QString("작업 오류를 검사합니다."));
    QCOMPARE(check->toolTip(), QString("자동 오류 검사"));
    QCOMPARE(frame->statusMessage(), QString("준비"));
    frame->statusBar()->showMessage(check->statusTip());
    QCOMPARE(frame->statusMessage(), QString("작업 오류를 검사합니다."));
    frame->statusBar()->showMessage(QString());
    QCOMPARE(frame->statusMessage(), QString("준비"));
  }

  void barsDockAtTheBottomWithTheirPages() {
    auto frame = makeFrame();
    QCOMPARE(frame->errorBar()->windowTitle(), QString("에러창"));
    QCOMPARE(frame->dictionaryBar()->windowTitle(), QString("사전"));
    QCOMPARE(frame->dockWidgetArea(frame->errorBar()), Qt::BottomDockWidgetArea);
    QCOMPARE(frame->dockWidgetArea(frame->dictionaryBar()), Qt::BottomDockWidgetArea);
    CDicSheet* sheet = frame->dictionarySheet();
    QCOMPARE(sheet->count(), 3);
    QCOMPARE(sheet->tabText(0), QString("동음어 검색"));
    QCOMPARE(sheet->tabText(1), QString("분석 참조"));
    QCOMPARE(sheet->tabText(2), QString("미등재어 사전"));
    frame->view()->applySettings("/d/h.dic", "/d/u.mdj", "/d/r.idx");
    QCOMPARE(sheet->homonymPage()->path(), QString("/d/h.dic"));
    QCOMPARE(sheet->unregisteredPage()->path(), QString("/d/u.mdj"));
    QCOMPARE(sheet->referencePage()->path(), QString("/d/r.idx"));
  }

  void barSizesRespectTheMinimums() {
    profile->setValue("BarState-SCBar-123/sizeHorzCY", 10);
    profile->setValue("BarState-SCBar-123/sizeHorzCX", 500);
    profile->setValue("BarState-SCBar-123/sizeFloatCX", 5);
    profile->setValue("BarState-SCBar-123/sizeVertCX", "junk");
    const BarSizes s = loadBarSizes(*profile, 123, BarSizes{});
    QCOMPARE(s.horizontal, QSize(500, 32));
    QCOMPARE(s.floating, QSize(37, 80));
    QCOMPARE(s.vertical, QSize(80, 80));
    const BarSizes fresh = loadBarSizes(*profile, 124, BarSizes{});
    QCOMPARE(fresh.horizontal, QSize(80, 80));
    QCOMPARE(barSection(124), QString("BarState-SCBar-124"));
  }

  void barLayoutSurvivesARestart() {
    {
      auto frame = makeFrame();
      frame->resize(1000, 800);
      frame->show();
      QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
      frame->resizeDocks({frame->errorBar()}, {200}, Qt::Vertical);
      QApplication::processEvents();
      frame->close();
    }
    QVERIFY(profile->contains("BarState"));
    QVERIFY(profile->value("BarState-SCBar-123/sizeHorzCY").toInt() >= 32);
    auto again = makeFrame();
    QCOMPARE(again->dockWidgetArea(again->errorBar()), Qt::BottomDockWidgetArea);
  }

  void titleFollowsTheDocument() {
    auto frame = makeFrame();
    QCOMPARE(frame->windowTitle(), QString(" Selvanor "));
    frame->view()->chooseDocument("/data/a.id");
    QCOMPARE(frame->windowTitle(), QString("Selvanor - /data/a.id"));
    QVERIFY(frame->action(cmd::kCloseDocument)->isEnabled());
    frame->view()->closeDocument();
    QCOMPARE(frame->windowTitle(), QString(" Selvanor "));
    QVERIFY(!frame->action(cmd::kCloseDocument)->isEnabled());
  }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
