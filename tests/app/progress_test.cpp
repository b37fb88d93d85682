// Progress of long operations in the window: the progress dialog and the calling dialog's
// bar advance with the operation, 취소 stops only operations that can stop, a file dialog
// whose build is cancelled keeps the old file, and closing the homonym correction window
// while it walks the document stops the run.
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QProgressDialog>
#include <QTest>

#include "common/progress.h"
#include "store/grid/row_cache.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/build_reference_dialog.h"
#include "ui/homonym_correction_window.h"
#include "ui_base/operation_progress.h"

#include <QSettings>
#include <algorithm>

using namespace selvanor;
using selvanor::test::k;

namespace {

class EveryWordDictionary final : public HomonymLookup {
 public:
  std::vector<HomonymSense> senses(std::string_view headword) override {
    return {{std::string(headword), std::string(headword) + "01", "", "x"}};
  }
};

}  // namespace

class ProgressTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  test::ScriptedInteraction ui;

  std::string writeSample(int n) {
    std::vector<AnalysisRecord> records;
    for (int i = 1; i <= n; ++i) {
      char serial[32];
      std::snprintf(serial, sizeof serial, "SPRGUI1%06d0", i);
      records.push_back({serial, k("사과"), k("사과/NNG + 를/JKO")});
    }
    const std::string path = dir->file("doc.id");
    test::writeDocument(path, records);
    return path;
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = test::ScriptedInteraction();
  }
  void cleanup() { dir.reset(); }

  void theDialogAndTheMirrorAdvanceWithTheOperation() {
    QProgressBar mirror;
    mirror.setRange(0, 100);
    OperationProgress progress(nullptr, QStringLiteral("만들기"), true, &mirror);
    QProgressDialog* dialog = progress.dialog();
    std::vector<int> seen;
    for (std::uint64_t done = 0; done <= 10; ++done) {
      QVERIFY(progress.update(done, 10));
      seen.push_back(dialog->value());
      QTest::qWait(OperationProgress::kEventIntervalMs + 5);
    }
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QCOMPARE(seen.front(), 0);
    QCOMPARE(seen[5], OperationProgress::kSteps / 2);
    QCOMPARE(seen.back(), OperationProgress::kSteps);
    QCOMPARE(mirror.value(), 100);
    // An unknown whole shows a busy bar.
    QVERIFY(progress.update(3, 0));
    QCOMPARE(dialog->maximum(), 0);
    progress.finish();
    QCOMPARE(dialog->value(), OperationProgress::kSteps);
    QVERIFY(!dialog->isVisible());
  }

  void cancelStopsOnlyWhatCanStop() {
    OperationProgress stoppable(nullptr, QStringLiteral("a"), true);
    QVERIFY(stoppable.update(1, 4));
    stoppable.dialog()->cancel();
    QVERIFY(!stoppable.update(2, 4));
    QVERIFY(stoppable.cancelled());
    // Without a cancel button, closing the dialog does not break off an in-place write.
    OperationProgress inPlace(nullptr, QStringLiteral("b"), false);
    inPlace.dialog()->cancel();
    QVERIFY(inPlace.update(2, 4));
    QVERIFY(!inPlace.cancelled());
  }

  void aFileDialogShowsProgressAndACancelledBuildKeepsTheOldFile() {
    const std::string doc = writeSample(300);
    BuildReferenceDialog dialog(ui, doc);
    QProgressBar* bar = dialog.findChild<QProgressBar*>();
    QVERIFY(bar);
    dialog.make();
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(ui.messages.size(), 1);
    const std::string built = test::readFile(doc + "x");
    QVERIFY(!built.empty());

    // Cancelled at the first report (the window handles events then): the old file stays.
    writeSample(500);
    ui.messages.clear();
    QTimer::singleShot(0, &dialog, [&dialog] {
      auto* p = dialog.findChild<QProgressDialog*>("operationProgress");
      QVERIFY(p);
      p->cancel();
    });
    dialog.make();
    QCOMPARE(ui.messages, QStringList({QString::fromUtf8(kCancelledMessage)}));
    QCOMPARE(test::readFile(doc + "x"), built);
    QCOMPARE(bar->value(), 0);
    QVERIFY(!dialog.findChild<QProgressDialog*>("operationProgress"));
    // Run again to the end: the new file replaces the old one.
    dialog.make();
    QVERIFY(test::readFile(doc + "x") != built);
  }

  void closingTheHomonymWindowDuringTheRunStopsIt() {
    const std::string doc = writeSample(20);
    RowCache cache;
    QCOMPARE(cache.open(doc), 20);
    QSettings profile(QString::fromStdString(dir->file("system.ini")), QSettings::IniFormat);
    EveryWordDictionary dictionary;
    HomonymCorrectionWindow window(ui, profile, cache, dictionary);
    int asked = 0;
    window.setChooser([&](std::string_view, const std::vector<HomonymSense>&) {
      if (++asked == 3) window.reject();  // the close control, pressed while it asks
      return ChoiceResult{SenseChoice::Skip, {}};
    });
    QCOMPARE(int(window.run()), int(CorrectionOutcome::Stopped));
    QVERIFY(asked >= 3 && asked <= 4);  // the row being asked about is finished first
    QVERIFY(ui.messages.isEmpty());     // no completion message
  }
};

QTEST_MAIN(ProgressTest)
#include "progress_test.moc"
