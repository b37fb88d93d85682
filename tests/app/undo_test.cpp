// Undo and redo of grid edits in the window: every kind of edit taken back and made again
// with the stored records compared byte for byte, Ctrl+Z / Ctrl+Y and the 편집 menu, the
// history dropped with a notice when another operation rewrites the document, a refused
// undo when the document changed behind it, and the "n / N" position field.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/search_window.h"
#include "app/selvanor_view.h"
#include "store/engine/document_cursor.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/homonym_correction_window.h"
#include "ui_base/grid_model.h"

using namespace selvanor;
using selvanor::test::k;
using Records = std::vector<AnalysisRecord>;

namespace {

class OneWordDictionary final : public HomonymLookup {
 public:
  std::vector<HomonymSense> senses(std::string_view headword) override {
    if (headword != k("사과")) return {};
    return {{k("사과"), k("사과01"), k("沙果"), k("과일")}, {k("사과"), k("사과02"), "", k("잘못을 빎")}};
  }
};

std::string serialOf(int line, char letter) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "SUNDO01%06d%c", line, letter);
  return buf;
}

}  // namespace

class UndoTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<QSettings> profile;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<CMainFrame> frame;
  CSelvanorView* view = nullptr;
  std::string doc;

  // Five records; the third carries a two-byte character whose second byte looks like a
  // letter and an analysis far longer than any fixed slot.
  Records sample() {
    std::string longAnalysis;
    while (longAnalysis.size() < 800) longAnalysis += k("갵/NNG + ");
    longAnalysis += k("사과/NNG");
    return {{serialOf(1, '0'), k("사과를"), k("사과/NNG + 를/JKO")},
            {serialOf(2, '0'), k("먹었다"), k("먹/VV + 었/EP + 다/EF")},
            {serialOf(3, '0'), k("갵갂"), longAnalysis},
            {serialOf(4, 'a'), k("하"), k("하/VV")},
            {serialOf(4, 'b'), k("고"), k("고/EC")}};
  }
  void open(const Records& records) {
    test::writeDocument(doc, records);
    view->chooseDocument(QString::fromStdString(doc));
    view->startAnalysis();
  }
  Records stored() { return test::readDocument(doc); }
  QAction* undoAction() { return frame->findChild<QAction*>("editUndo"); }
  QAction* redoAction() { return frame->findChild<QAction*>("editRedo"); }
  QString position() { return frame->findChild<QLabel*>("recordPosition")->text(); }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    profile = std::make_unique<QSettings>(QString::fromStdString(dir->file("profile.ini")),
                                          QSettings::IniFormat);
    ui = std::make_unique<test::ScriptedInteraction>();
    frame = std::make_unique<CMainFrame>(*ui, nullptr, *profile);
    view = frame->view();
    doc = dir->file("doc.id");
    new QAbstractItemModelTester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 view);
  }
  void cleanup() {
    frame.reset();
    profile.reset();
    dir.reset();
  }

  void everyGridEditIsUndoneAndRedoneByteForByte() {
    open(sample());
    const Records original = stored();
    SearchWindow* search = nullptr;
    struct Case {
      const char* name;
      std::function<void()> edit;
    };
    const std::vector<Case> cases = {
        {"join", [&] { view->selectRow(1); view->joinCurrentRow(); }},
        {"split", [&] { view->selectRow(2); view->splitCurrentRow(); }},
        {"split of a part", [&] { view->selectRow(3); view->splitCurrentRow(); }},
        {"delete",
         [&] {
           ui->yesNoAnswers = {true};
           view->selectRow(2);
           view->deleteCurrentRow();
         }},
        {"editor",
         [&] {
           const AnalysisRecord old = stored()[2];
           view->selectRow(2);
           view->applyEdit(2, old, {serialOf(9, '0'), old.word + k("갵"), k("새/NNG")});
         }},
        {"replace",
         [&] {
           view->runCommand(cmd::kSearch);
           search = view->searchWindow();
           search->setTarget(2);
           search->setPattern(QStringLiteral("*갵/NNG*"));
           search->setReplacement(QStringLiteral("바꾼/NNG"));
           view->selectRow(2);
           view->replace();
           // It goes on to the next match, and there is none.
           QCOMPARE(ui->messages, QStringList({"검색 결과가 없습니다. "}));
           ui->messages.clear();
         }},
        {"homonym choice",
         [&] {
           OneWordDictionary dictionary;
           HomonymCorrectionWindow window(*ui, *profile, view->rowCache(), dictionary, view);
           window.setChooser([](std::string_view, const std::vector<HomonymSense>&) {
             return ChoiceResult{SenseChoice::Chosen, k("사과02")};
           });
           QCOMPARE(int(window.run()), int(CorrectionOutcome::Completed));
           QCOMPARE(window.changedRows(), 2);  // rows 1 and 3 hold 사과
           QCOMPARE(ui->messages, QStringList({"동음어 수정이 완료되었습니다."}));
           ui->messages.clear();
         }},
    };
    for (const Case& c : cases) {
      const QByteArray name(c.name);
      c.edit();
      const Records edited = stored();
      QVERIFY2(edited != original, name);
      QVERIFY2(undoAction()->isEnabled(), name);
      QVERIFY2(!redoAction()->isEnabled(), name);
      const std::size_t steps = view->history().undoCount();
      for (std::size_t i = 0; i < steps; ++i) undoAction()->trigger();
      QVERIFY2(stored() == original, name);
      QCOMPARE(view->model()->rowCount(), int(original.size()));
      QVERIFY2(!undoAction()->isEnabled(), name);
      QVERIFY2(redoAction()->isEnabled(), name);
      for (std::size_t i = 0; i < steps; ++i) redoAction()->trigger();
      QVERIFY2(stored() == edited, name);
      for (std::size_t i = 0; i < steps; ++i) view->undoEdit();
      QVERIFY2(stored() == original, name);
      QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->messages.join('|')));
    }
    if (search) search->hide();
  }

  void ctrlZAndCtrlYInTheGridAndTheMenu() {
    open(sample());
    const Records original = stored();
    QCOMPARE(frame->menuBar()->actions().value(1)->text(), QString("편집(&E)"));
    QMenu* edit = frame->menuBar()->actions().value(1)->menu();
    QCOMPARE(edit->actions().size(), 2);
    QCOMPARE(edit->actions()[0]->text(), QString("실행 취소(&U)"));
    QCOMPARE(edit->actions()[1]->text(), QString("다시 실행(&R)"));
    QVERIFY(undoAction()->shortcuts().contains(QKeySequence("Ctrl+Z")));
    QVERIFY(redoAction()->shortcuts().contains(QKeySequence("Ctrl+Y")));
    // The menu prints the first key: the ones the window is known by.
    QCOMPARE(undoAction()->shortcut(), QKeySequence("Ctrl+Z"));
    QCOMPARE(redoAction()->shortcut(), QKeySequence("Ctrl+Y"));

    frame->show();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    view->grid()->setFocus();
    view->selectRow(0);
    view->joinCurrentRow();
    const Records joined = stored();
    QCOMPARE(joined.size(), original.size() - 1);
    QTest::keyClick(view->grid(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(stored() == original);
    QCOMPARE(view->currentRow(), 0);
    QTest::keyClick(view->grid(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(stored() == joined);
    // Nothing left to redo: the key does nothing and says nothing.
    QTest::keyClick(view->grid(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(stored() == joined);
    QVERIFY(ui->messages.isEmpty());
  }

  void aNewEditDropsWhatWasUndoneAndTheHistoryHoldsAHundredEdits() {
    Records records;
    for (int i = 1; i <= 3; ++i) records.push_back({serialOf(i, '0'), "w", "w/NNG"});
    open(records);
    std::vector<Records> states{stored()};
    for (int i = 0; i < 120; ++i) {
      const AnalysisRecord old = stored()[static_cast<std::size_t>(i % 3)];
      view->applyEdit(i % 3, old, {old.serial, "w" + std::to_string(i), old.analysis});
      states.push_back(stored());
    }
    for (int i = 0; i < 100; ++i) view->undoEdit();
    QVERIFY(stored() == states[20]);
    view->redoEdit();
    QVERIFY(stored() == states[21]);
    view->selectRow(0);
    view->splitCurrentRow();
    QVERIFY(!redoAction()->isEnabled());
    view->undoEdit();
    QVERIFY(stored() == states[21]);
    view->redoEdit();
    QCOMPARE(stored().size(), size_t(4));
  }

  void historyIsDroppedWithANoticeWhenTheDocumentIsRewrittenOrClosed() {
    open(sample());
    view->selectRow(0);
    view->splitCurrentRow();
    QVERIFY(undoAction()->isEnabled());
    // Auto-correction and the other whole-document rewrites reload the grid.
    view->reloadDocument();
    QVERIFY(!undoAction()->isEnabled());
    QCOMPARE(frame->statusMessage(), QString::fromUtf8(kHistoryDroppedRewritten));
    const Records afterReload = stored();
    view->undoEdit();
    QVERIFY(stored() == afterReload);

    view->selectRow(0);
    view->splitCurrentRow();
    view->runCommand(cmd::kCloseDocument);
    QVERIFY(!undoAction()->isEnabled());
    QCOMPARE(frame->statusMessage(), QString::fromUtf8(kHistoryDroppedClosed));
    QVERIFY(ui->messages.isEmpty());

    // Reopening the same document after a cancelled chooser keeps the history.
    view->chooseDocument(QString::fromStdString(doc));
    view->startAnalysis();
    view->selectRow(0);
    view->joinCurrentRow();
    view->chooseDocument(QString::fromStdString(doc));
    view->startAnalysis();
    QVERIFY(undoAction()->isEnabled());
    // Another document drops it.
    test::writeDocument(dir->file("other.id"), {{"O1", "o", "o/NNG"}});
    view->chooseDocument(QString::fromStdString(dir->file("other.id")));
    QVERIFY(!undoAction()->isEnabled());
  }

  void anUndoThatNoLongerFitsTheDocumentIsRefusedAndWritesNothing() {
    open(sample());
    view->selectRow(1);
    view->joinCurrentRow();
    // Something outside the grid's edits changes the joined record.
    QVERIFY(view->rowCache().add(serialOf(2, 'z'), "x", "x/NNG") == result::kOk);
    const Records changed = stored();
    view->undoEdit();
    QCOMPARE(ui->messages, QStringList({QString::fromUtf8(kHistoryStale)}));
    QVERIFY(stored() == changed);
    QVERIFY(!undoAction()->isEnabled());
  }

  void aFailedUndoSaysSoAndCanBeTriedAgain() {
    open(sample());
    const Records original = stored();
    view->selectRow(1);
    view->joinCurrentRow();
    const Records joined = stored();
    view->rowCache().failWriteAfter(2);
    view->undoEdit();
    view->rowCache().failWriteAfter(0);
    QCOMPARE(ui->messages, QStringList({QString::fromUtf8(kUndoNotStored)}));
    QVERIFY(stored() == joined);
    QVERIFY(undoAction()->isEnabled());
    view->undoEdit();
    QVERIFY(stored() == original);
    view->rowCache().failWriteAfter(1);
    view->redoEdit();
    view->rowCache().failWriteAfter(0);
    QCOMPARE(ui->messages.last(), QString::fromUtf8(kRedoNotStored));
    QVERIFY(stored() == original);
  }

  void positionFieldShowsTheCurrentRecordAndTheCount() {
    QCOMPARE(position(), QString());
    open(sample());
    QCOMPARE(position(), QString("1 / 5"));
    view->selectRow(3);
    QCOMPARE(position(), QString("4 / 5"));
    view->selectRow(1);
    view->joinCurrentRow();
    QCOMPARE(position(), QString("2 / 4"));
    view->grid()->selectionModel()->clearSelection();
    QCOMPARE(position(), QString("- / 4"));
    view->undoEdit();
    QCOMPARE(position(), QString("2 / 5"));
    view->runCommand(cmd::kCloseDocument);
    QCOMPARE(position(), QString());
  }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
