// The homonym correction windows through the scripted seam: choose with confirmation,
// cancel, skip, stop, the close control, the saved place, and a run over a document.
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "store/grid/row_cache.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/homonym_correction_window.h"

using namespace selvanor;
using selvanor::test::k;

namespace {

class OneWordDictionary final : public HomonymLookup {
 public:
  std::vector<HomonymSense> senses(std::string_view headword) override {
    if (headword != k("사과")) return {};
    return {{k("사과"), k("사과01"), k("沙果"), k("과일의\r\n하나")}, {k("사과"), k("사과02"), " ", k("사과하는 일")}};
  }
};

}  // namespace

class HomonymWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<QSettings> profile;
  test::ScriptedInteraction ui;

  // Runs `action` on the selection window once it is shown modally.
  void whenShown(HomonymSelectionWindow& w, std::function<void()> action) {
    QTimer::singleShot(0, &w, [&w, action] {
      QTRY_VERIFY(w.isVisible());
      action();
    });
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    profile = std::make_unique<QSettings>(QString::fromStdString(dir->file("system.ini")), QSettings::IniFormat);
    ui = test::ScriptedInteraction();
  }
  void cleanup() {
    profile.reset();
    dir.reset();
  }

  void chooseAsksForConfirmationAndCancelKeepsTheWindowOpen() {
    HomonymSelectionWindow w(ui, *profile);
    ui.yesNoAnswers = {false, true};
    whenShown(w, [&] {
      QCOMPARE(w.list()->topLevelItemCount(), 2);
      QCOMPARE(w.list()->topLevelItem(0)->text(3), QString("과일의  하나"));  // line breaks shown as blanks
      w.choose();  // nothing selected: stays open, nothing asked
      QVERIFY(ui.questions.isEmpty());
      w.list()->setCurrentItem(w.list()->topLevelItem(1));
      w.choose();  // cancelled
      QVERIFY(w.isVisible());
      w.choose();
    });
    const ChoiceResult r = w.ask("사과", OneWordDictionary().senses(k("사과")));
    QCOMPARE(int(r.choice), int(SenseChoice::Chosen));
    QCOMPARE(r.numberedForm, k("사과02"));
    QCOMPARE(ui.questions, QStringList({"동음어 수정 확인: 사과02", "동음어 수정 확인: 사과02"}));
  }

  void skipStopAndTheCloseControl() {
    HomonymSelectionWindow w(ui, *profile);
    whenShown(w, [&] { w.stop(); });
    QCOMPARE(int(w.ask("사과", {}).choice), int(SenseChoice::Stop));
    whenShown(w, [&] { w.skip(); });
    QCOMPARE(int(w.ask("사과", {}).choice), int(SenseChoice::Skip));
    whenShown(w, [&] { w.close(); });
    QCOMPARE(int(w.ask("사과", {}).choice), int(SenseChoice::Skip));
  }

  void placeIsSavedWithTheFixedSize() {
    QCOMPARE(SelectionWindowPlace::load(*profile).left, -1);
    HomonymSelectionWindow w(ui, *profile);
    whenShown(w, [&] { w.skip(); });
    (void)w.ask("사과", {});
    const SelectionWindowPlace p = SelectionWindowPlace::load(*profile);
    QVERIFY(p.left >= 0 || p.left == w.pos().x());
    QCOMPARE(p.right - p.left, 620);
    QCOMPARE(p.bottom - p.top, 360);
  }

  // The selection window opens whole on the screen: at its default place (which used to
  // push it against the bottom edge) and at a saved place the screen no longer has.
  void selectionWindowOpensFullyOnScreen() {
    HomonymSelectionWindow w(ui, *profile);
    QRect shown;
    whenShown(w, [&] {
      shown = w.frameGeometry();
      w.skip();
    });
    (void)w.ask("사과", OneWordDictionary().senses(k("사과")));
    const QRect screen = w.screen()->availableGeometry();
    QVERIFY2(screen.contains(shown), qPrintable(QString("%1,%2 %3x%4").arg(shown.x()).arg(shown.y())
                                                    .arg(shown.width()).arg(shown.height())));
    SelectionWindowPlace::save(*profile, QPoint(screen.right() + 400, screen.bottom() + 300));
    HomonymSelectionWindow again(ui, *profile);
    whenShown(again, [&] {
      shown = again.frameGeometry();
      again.skip();
    });
    (void)again.ask("사과", {});
    QVERIFY(screen.contains(shown));
  }

  // The progress window says where the run is and how much is left, and both windows list
  // in the grid's font with rows as high as that font needs.
  void progressWindowShowsPositionInTheGridFont() {
    const std::string doc = dir->file("doc.id");
    test::writeDocument(doc, {{"S1", k("먹다"), k("먹/VV + 다/EF")}, {"S2", k("사과를"), k("사과/NNG + 를/JKO")},
                              {"S3", k("먹다"), k("먹/VV + 다/EF")}});
    RowCache cache;
    QVERIFY(cache.open(doc) > 0);
    OneWordDictionary dictionary;
    HomonymCorrectionWindow w(ui, *profile, cache, dictionary);
    QFont font("Serif");
    font.setPixelSize(22);
    w.setListFont(font);
    QCOMPARE(w.table()->font().pixelSize(), 22);
    QCOMPARE(w.selectionWindow()->list()->font().pixelSize(), 22);
    QCOMPARE(w.table()->verticalHeader()->defaultSectionSize(), QFontMetrics(font).height() + 6);
    QVERIFY(w.table()->columnWidth(0) > QFontMetrics(font).horizontalAdvance("SVSMPL10000010"));
    QString positionWhenAsked;
    w.setChooser([&](std::string_view, const std::vector<HomonymSense>&) {
      positionWhenAsked = w.positionLabel()->text();
      return ChoiceResult{SenseChoice::Skip, {}};
    });
    (void)w.run();
    QCOMPARE(positionWhenAsked, QString("2 / 3    남은 기록 1"));
    QCOMPARE(w.positionLabel()->text(), QString("3 / 3    남은 기록 0"));
    // Without the grid's font the rows are still as high as the window's own font needs.
    HomonymCorrectionWindow plain(ui, *profile, cache, dictionary);
    QCOMPARE(plain.table()->verticalHeader()->defaultSectionSize(), plain.fontMetrics().height() + 6);
  }

  void runOverADocument() {
    const std::string doc = dir->file("doc.id");
    test::writeDocument(doc, {{"S1", k("사과를"), k("사과/NNG + 를/JKO")}, {"S2", k("먹다"), k("먹/VV + 다/EF")}});
    RowCache cache;
    QVERIFY(cache.open(doc) > 0);
    OneWordDictionary dictionary;
    HomonymCorrectionWindow w(ui, *profile, cache, dictionary);
    QStringList asked;
    w.setChooser([&](std::string_view m, const std::vector<HomonymSense>&) {
      asked << QString::fromStdString(test::u(m));
      return ChoiceResult{SenseChoice::Chosen, k("사과02")};
    });
    QCOMPARE(int(w.run()), int(CorrectionOutcome::Completed));
    QCOMPARE(asked, QStringList({"사과"}));
    QCOMPARE(ui.messages, QStringList({"동음어 수정이 완료되었습니다."}));
    QCOMPARE(test::readDocument(doc)[0].analysis, k("사과02/NNG + 를/JKO"));

    cache.close();
    test::writeDocument(doc, {{"S1", k("사과를"), k("사과/NNG + 를/JKO")}});
    QVERIFY(cache.open(doc) > 0);
    HomonymCorrectionWindow again(ui, *profile, cache, dictionary);
    again.setChooser([](std::string_view, const std::vector<HomonymSense>&) {
      return ChoiceResult{SenseChoice::Stop, {}};
    });
    ui.messages.clear();
    QCOMPARE(int(again.run()), int(CorrectionOutcome::Stopped));
    QVERIFY(ui.messages.isEmpty());
  }
};

QTEST_MAIN(HomonymWindowTest)
#include "homonym_window_test.moc"
