// The main frame: menus and captions from the command table, the toolbar order, prompts,
// bars and their persisted sizes, window titles.
#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include "app/bar_sizes.h"
#include "app/command_table.h"
#include "app/dictionary_sheet.h"
#include "app/homonym_page.h"
#include "app/reference_page.h"
#include "app/unregistered_page.h"
#include "app/main_frame.h"
#include "app/selvanor_view.h"
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
             QStringList({"문헌 관리", "편집(&E)", "전처리", "어절 분석", "후처리", "통계", "목록 관리",
                          "환경 설정", "도움말(&H)"}));
    QMenu* documents = frame->menuBar()->actions()[0]->menu();
    QCOMPARE(titlesOf(documents->actions()),
             QStringList({"분석 문헌 만들기", "작업 문헌 열기", "작업 문헌 닫기", "분석 문헌 관리",
                          "분석 문헌 수정", "분석문헌 합치기"}));
    QMenu* lists = frame->menuBar()->actions()[6]->menu();
    QCOMPARE(titlesOf(lists->actions()),
             QStringList({"동음어 사전 관리", "미등재어 사전 관리", "오류 기록창 관리", "참조 파일 관리"}));
    // Every command exists; those whose work is not built yet are disabled, never fake.
    for (const CommandSpec& entry : commandTable()) {
      QAction* a = frame->action(entry.id);
      QVERIFY2(a, qPrintable(QString::number(entry.id)));
      if (!entry.available) QVERIFY2(!a->isEnabled(), qPrintable(QString::number(entry.id)));
    }
    QVERIFY(frame->action(cmd::kWorkErrorCheck)->isEnabled());
    QVERIFY(!frame->action(cmd::kCloseDocument)->isEnabled());
    QCOMPARE(frame->action(cmd::kSearch)->shortcut(), QKeySequence("Ctrl+F"));
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
