// The homonym correction windows through the scripted seam: choose with confirmation,
// cancel, skip, stop, the close control, the saved place, and a run over a document.
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "store/row_cache.h"
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
