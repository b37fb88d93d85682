// The dialogs of the merges, the homonym build, the statistics listings, batch modification
// and the work-error check drive a progress dialog: run to the end they do their work and
// say so; 취소 pressed at the first report stops them with kCancelledMessage (or the
// statistics run's own cancel text) and leaves every file as it was.
#include <QMainWindow>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>
#include <QTest>

#include "app/error_log_window.h"
#include "app/selvanor_view.h"
#include "common/files.h"
#include "common/progress.h"
#include "facade/dbwrap.h"
#include "stats/statistics_request.h"
#include "stats/tag_manager.h"
#include "support/raw_documents.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/batch_modification_dialog.h"
#include "ui/corpus_tree_model.h"
#include "ui/dictionary_merge_dialog.h"
#include "ui/make_homonym_dialog.h"
#include "ui/merge_references_dialog.h"
#include "ui/statistics_listing_dialog.h"

using namespace selvanor;
using selvanor::test::k;

namespace {

const char* const kTagText = "#1체언\n#2일반명사/NNG\n#1관계언\n#2격조사/JK\n#3목적격조사/JKO\n";

// Presses 취소 of the progress dialog at the operation's first report (the first moment
// the window handles events during the run).
void cancelAtFirstReport(QObject* context) {
  QTimer::singleShot(0, context, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* p = qobject_cast<QProgressDialog*>(w); p && p->objectName() == "operationProgress") {
        p->cancel();
        return;
      }
    }
    QFAIL("no progress dialog");
  });
}

}  // namespace

class ProgressDialogsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  test::ScriptedInteraction ui;

  std::string path(const std::string& name) const { return dir->file(name); }
  QString file(const std::string& name) const { return QString::fromStdString(dir->file(name)); }
  // A document of `n` records with words "<word>1", "<word>2", ...
  std::string writeDocument(const std::string& name, int n, const char* word) {
    std::vector<AnalysisRecord> records;
    for (int i = 1; i <= n; ++i) {
      char serial[32];
      std::snprintf(serial, sizeof serial, "SPDLG%06d0", i);
      const std::string w = k(word) + std::to_string(i);
      records.push_back({serial, w, w + "/NNG + " + k("를/JKO")});
    }
    test::writeDocument(path(name), records);
    return path(name);
  }
  static QString cancelled() { return QString::fromUtf8(kCancelledMessage); }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = test::ScriptedInteraction();
  }
  void cleanup() { dir.reset(); }

  void referenceMergeCancelledLeavesTheBaseAndTheDialogOpen() {
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(writeDocument("a.id", 20, "사과")), result::kOk);
    QCOMPARE(db.makeWonmunDB(writeDocument("b.id", 200, "배")), result::kOk);
    const test::Entries before = test::dump(path("a.idx"));
    MergeReferencesDialog dialog(ui);
    QSignalSpy merged(&dialog, &MergeReferencesDialog::merged);
    dialog.baseField()->setText(file("a.idx"));
    dialog.addedField()->setText(file("b.idx"));
    cancelAtFirstReport(&dialog);
    dialog.confirm();
    QCOMPARE(ui.messages, QStringList{cancelled()});
    QVERIFY(test::dump(path("a.idx")) == before);
    QCOMPARE(merged.count(), 0);  // nothing changed: the page need not read it again
    QVERIFY(dialog.result() != QDialog::Accepted);

    ui.messages.clear();
    dialog.confirm();
    QCOMPARE(ui.messages, QStringList{QString::fromUtf8(reference::msg::kMerged)});
    QCOMPARE(int(test::dump(path("a.idx")).size()), 220);
    QCOMPARE(merged.count(), 1);
    QVERIFY(!dialog.findChild<QProgressDialog*>("operationProgress"));
  }

  void dictionaryMergesCancelledLeaveTheBase() {
    DBWrap db;
    for (int i = 1; i <= 50; ++i) {
      const std::string w = k("밤") + std::to_string(i);
      QCOMPARE(db.addDongumRec(path("other.dic"), {w, w + "01", " ", k("뜻")}), result::kOk);
      QCOMPARE(db.addMideungjae(path("other.mdj"), w, k("비고"), false), result::kOk);
    }
    QCOMPARE(db.addDongumRec(path("base.dic"), {k("사과"), k("사과01"), " ", k("과일")}), result::kOk);
    QCOMPARE(db.addMideungjae(path("base.mdj"), k("사과"), k("과일"), false), result::kOk);
    struct Case {
      DictionaryKind kind;
      const char* base;
      const char* other;
      QString done;
    };
    for (const Case& c : {Case{DictionaryKind::Homonym, "base.dic", "other.dic", "동음어 사전이 합쳐졌습니다."},
                          Case{DictionaryKind::Unregistered, "base.mdj", "other.mdj", "미등재 사전이 합쳐졌습니다."}}) {
      ui.messages.clear();
      const test::Entries before = test::dump(path(c.base));
      DictionaryMergeDialog dialog(ui, c.kind);
      dialog.baseField()->setText(file(c.base));
      dialog.otherField()->setText(file(c.other));
      cancelAtFirstReport(&dialog);
      dialog.merge();
      QCOMPARE(ui.messages, QStringList{cancelled()});
      QVERIFY(test::dump(path(c.base)) == before);
      dialog.merge();
      QCOMPARE(ui.messages, (QStringList{cancelled(), c.done}));
      QCOMPARE(int(test::dump(path(c.base)).size()), 51);
    }
  }

  void homonymBuildAdvancesItsBarAndACancelKeepsTheOldDictionary() {
    std::string source;
    for (int i = 1; i <= 300; ++i) {
      const std::string w = k("배") + std::to_string(i);
      source += "#1" + w + "#2" + w + "01#5" + k("뜻") + "\n";
    }
    test::writeFile(path("h.txt"), source);
    MakeHomonymDialog dialog(ui);
    auto* bar = dialog.findChild<QProgressBar*>();
    QVERIFY(bar);
    dialog.sourceField()->setText(file("h.txt"));
    dialog.build();
    QCOMPARE(ui.messages, QStringList{"동음어 사전이 만들어 졌습니다."});
    QCOMPARE(bar->value(), bar->maximum());
    const std::string built = test::readFile(path("h.dic"));

    test::writeFile(path("h.txt"), source + "#1" + k("밤") + "#2" + k("밤01") + "#5" + k("뜻") + "\n");
    ui.messages.clear();
    cancelAtFirstReport(&dialog);
    dialog.build();
    QCOMPARE(ui.messages, QStringList{cancelled()});
    QCOMPARE(test::readFile(path("h.dic")), built);
    QCOMPARE(bar->value(), bar->minimum());
  }

  void statisticsListingCancelledWritesNoOutput() {
    DBWrap db;
    for (const char* name : {"a.id", "b.id"}) {
      writeDocument(name, 30, "사과");
      QCOMPARE(db.makeTongDB(path(name)), result::kOk);
    }
    test::writeFile(path("dblist.dat"), k("1가\n2") + path("a.id") + "\n2" + path("b.id") + "\n");
    test::writeFile(path("tag.txt"), k(kTagText));
    TagManager tags;
    QVERIFY(tags.Load(path("tag.txt")));
    StatisticsListingDialog dialog(ui, 2, tags, path("dblist.dat"));
    QStringList opened;
    dialog.setReportOpener([&](const QString& p) { opened << p; });
    dialog.outputField()->setText(file("stat.txt"));
    for (int row = 0; row < dialog.lines()->count(); ++row) dialog.lines()->item(row)->setSelected(true);
    cancelAtFirstReport(&dialog);
    dialog.makeListings();
    QCOMPARE(ui.messages, QStringList{QString::fromUtf8(stats::msg::kCancelled)});
    QVERIFY(!fileExists(path("stat.txt")));
    QVERIFY(opened.isEmpty());
    dialog.makeListings();
    QCOMPARE(opened, QStringList{file("stat.txt")});
    QVERIFY(test::readFile(path("stat.txt")).find(k("사과1")) != std::string::npos);
  }

  void batchAutoCorrectionCancelledLeavesEveryDocumentAsItWas() {
    writeDocument("a.id", 50, "사과");
    writeDocument("b.id", 50, "배");
    test::writeFile(path("dblist.dat"), k("1가\n2") + path("a.id") + "\n2" + path("b.id") + "\n");
    test::writeFile(path("list.txt"), k("를/JKO\t을/JKO\n"));
    test::writeFile(path("tag.txt"), k(kTagText));
    TagManager tags;
    QVERIFY(tags.Load(path("tag.txt")));
    const std::string a = test::readFile(path("a.id"));
    const std::string b = test::readFile(path("b.id"));
    BatchModificationDialog dialog(ui, path("dblist.dat"), path("h.dic"), tags, {});
    dialog.setListPrompt([this]() -> std::optional<std::string> { return path("list.txt"); });
    dialog.tree()->selectionModel()->select(dialog.model()->indexOf({0, std::nullopt}),
                                            QItemSelectionModel::Select);
    cancelAtFirstReport(&dialog);
    dialog.autoCorrect();
    QCOMPARE(test::readFile(path("a.id")), a);
    QCOMPARE(test::readFile(path("b.id")), b);
    QVERIFY(dialog.lastOutcome().cancelled);
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages.front().contains(cancelled()));

    ui.messages.clear();
    dialog.autoCorrect();
    QCOMPARE(ui.messages, QStringList{"모든 [형태소->단어]를 완료했습니다."});
    QVERIFY(test::readFile(path("a.id")) != a);
    QVERIFY(test::readFile(path("b.id")) != b);
  }

  void workErrorCheckOfTheOpenDocumentCancelledSaysSo() {
    writeDocument("a.id", 40, "사과");
    test::writeFile(path("tag.txt"), k("#1체언\n#2일반명사/NNG\n"));  // 를/JKO is unknown
    QMainWindow frame;
    auto* view = new CSelvanorView(ui, nullptr, &frame);
    frame.setCentralWidget(view);
    auto* errorLog = new ErrorLogWindow(&frame);
    view->setErrorLog(errorLog);
    QSettings profile(file("system.ini"), QSettings::IniFormat);
    view->setSystemProfile(profile);
    WorkingContext context;
    context.tagFile = path("tag.txt");
    view->setWorkingContext(context);
    QVERIFY(view->tags().Load(context.tagFile));
    view->chooseDocument(file("a.id"));
    view->startAnalysis();
    QVERIFY(view->gridLoaded());

    cancelAtFirstReport(view);
    view->workErrorCheck();
    QCOMPARE(ui.messages, QStringList{cancelled()});
    QVERIFY(errorLog->text().isEmpty());

    ui.messages.clear();
    view->workErrorCheck();
    QCOMPARE(ui.messages, QStringList{"오류 검사가 완료 되었습니다."});
    QCOMPARE(errorLog->text().count("\r\n"), 40);
  }
};

QTEST_MAIN(ProgressDialogsTest)
#include "progress_dialogs_test.moc"
