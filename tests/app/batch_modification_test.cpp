// 분석 문헌 수정 from the window: the view's preconditions, the document tree, and the three
// batch buttons with their status-bar lines, messages, error log lines and the documents
// on disk; the grid lets its document go while a batch changes it and shows it afresh.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "app/command_table.h"
#include "app/error_log_window.h"
#include "app/selvanor_view.h"
#include "facade/dbwrap.h"
#include "support/app_fixture.h"
#include "support/modal_script.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/batch_modification_dialog.h"
#include "ui/corpus_tree_model.h"
#include "ui/correction_list_dialog.h"
#include "ui/homonym_correction_window.h"
#include "ui_base/grid_model.h"

using namespace selvanor;
using selvanor::test::k;
using selvanor::test::ModalScript;

namespace {

const char* const kTagText =
    "#1체언\n#2일반명사/NNG\n#2고유명사/NNP\n#1용언\n#2동사/VV\n"
    "#1관계언\n#2격조사/JK\n#3주격조사/JKS\n#3목적격조사/JKO\n"
    "#1의존형태\n#2어미/E\n#3선어말어미/EP\n#3종결어미/EF\n";
const QString kCheckDone = "오류 검사를 완료했습니다.";

using BatchStep = std::function<void(BatchModificationDialog&)>;

// Selects the nodes in this order and presses a button.
BatchStep press(std::vector<corpus::NodeRef> nodes, void (BatchModificationDialog::*button)()) {
  return [nodes, button](BatchModificationDialog& d) {
    for (const corpus::NodeRef& n : nodes) {
      d.tree()->selectionModel()->select(d.model()->indexOf(n), QItemSelectionModel::Select);
    }
    (d.*button)();
    d.reject();  // 닫기
  };
}

}  // namespace

class BatchModificationTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<QSettings> profile;
  std::unique_ptr<QMainWindow> frame;
  CSelvanorView* view = nullptr;
  ErrorLogWindow* errorLog = nullptr;
  QStringList statusLines;

  std::string path(const char* name) const { return dir->file(name); }
  QString file(const char* name) const { return QString::fromStdString(dir->file(name)); }
  std::vector<std::string> analyses(const char* document) {
    std::vector<std::string> out;
    for (const auto& r : test::readDocument(path(document))) out.push_back(test::u(r.analysis));
    return out;
  }
  void openInGrid(const char* name) {
    view->chooseDocument(file(name));
    view->startAnalysis();
    QVERIFY(view->gridLoaded());
  }
  QString shownAnalysis(int row) { return view->model()->index(row, 2).data().toString(); }
  void runBatch(BatchStep step) {
    ModalScript<BatchModificationDialog> script({std::move(step)});
    view->runCommand(cmd::kModifyDocuments);
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
  }
  // Group 가: a.id, b.id; group 나: c.id.
  static corpus::NodeRef group(std::size_t g) { return {g, std::nullopt}; }
  static corpus::NodeRef document(std::size_t g, std::size_t d) { return {g, d}; }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = std::make_unique<test::ScriptedInteraction>();
    profile = std::make_unique<QSettings>(file("system.ini"), QSettings::IniFormat);
    frame = std::make_unique<QMainWindow>();
    view = new CSelvanorView(*ui, nullptr, frame.get());
    frame->setCentralWidget(view);
    errorLog = new ErrorLogWindow(frame.get());
    view->setErrorLog(errorLog);
    view->setSystemProfile(*profile);
    new QAbstractItemModelTester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest, view);
    statusLines.clear();
    connect(frame->statusBar(), &QStatusBar::messageChanged, this, [this](const QString& m) {
      if (!m.isEmpty()) statusLines << m;
    });

    test::writeDocument(path("a.id"), {{"A1", k("사과를"), k("사과/NNG + 를/JKO")},
                                       {"A2", k("먹었다"), k("먹/VV + 었/EP + 다/EF")},
                                       {"A3", k("틀린"), k("틀/XYZ")}});
    test::writeDocument(path("b.id"), {{"B1", k("배가"), k("배/NNG + 가/JKS")}});
    test::writeDocument(path("c.id"), {{"C1", k("사과"), k("사과/NNG")}});
    test::writeFile(path("dblist.dat"), k("1가\n2") + path("a.id") + "\n2" + path("b.id") + "\n" +
                                            k("1나\n2") + path("c.id") + "\n");
    test::writeFile(path("tag.txt"), k(kTagText));
    DBWrap db;
    QCOMPARE(db.addDongumRec(path("h.dic"), {k("사과"), k("사과01"), " ", k("과일")}), result::kOk);
    QCOMPARE(db.addDongumRec(path("h.dic"), {k("사과"), k("사과02"), " ", k("잘못을 빎")}), result::kOk);
    WorkingContext c;
    c.documentListFile = path("dblist.dat");
    c.homonymDictionary = path("h.dic");
    c.tagFile = path("tag.txt");
    view->setWorkingContext(c);
    QVERIFY(view->tags().Load(c.tagFile));
  }
  void cleanup() {
    frame.reset();
    profile.reset();
    dir.reset();
  }

  void preconditionsInTheirOrder() {
    QVERIFY(findCommand(cmd::kModifyDocuments)->available);
    CSelvanorView fresh(*ui, nullptr);  // no tag set loaded yet
    auto none = std::make_unique<ModalScript<BatchModificationDialog>>(std::deque<BatchStep>{});
    fresh.setSystemProfile(*profile);
    WorkingContext c = view->context();
    c.homonymDictionary.clear();
    c.tagFile = path("missing-tag.txt");
    fresh.setWorkingContext(c);
    fresh.runCommand(cmd::kModifyDocuments);
    c.homonymDictionary = path("h.dic");
    fresh.setWorkingContext(c);
    fresh.runCommand(cmd::kModifyDocuments);  // the load fails again
    c.tagFile = path("tag.txt");
    fresh.setWorkingContext(c);
    fresh.runCommand(cmd::kModifyDocuments);  // loaded now, but this use still stops
    const QString unreadable = "태그 표지 파일[%1]을 읽어들일수 없습니다.";
    QCOMPARE(ui->messages, (QStringList{"동음어 사전을 선택해 주세요", unreadable.arg(file("missing-tag.txt")),
                                        unreadable.arg(file("tag.txt"))}));
    QCOMPARE(none->unexpected, 0);
    none.reset();
    QVERIFY(fresh.tags().IsLoaded());
    ui->messages.clear();
    ModalScript<BatchModificationDialog> opened({[](BatchModificationDialog& d) { d.reject(); }});
    fresh.runCommand(cmd::kModifyDocuments);  // the next use opens the dialog
    QVERIFY(opened.done());
    QVERIFY(ui->messages.isEmpty());
  }

  void treeShowsTheListWithStatusIconsAndSelectsSeveralNodes() {
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(path("b.id")), result::kOk);
    BatchModificationDialog dialog(*ui, path("dblist.dat"), path("h.dic"), view->tags(), {});
    QAbstractItemModelTester tester(dialog.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(dialog.windowTitle(), QString("분석 문헌 수정"));
    QCOMPARE(dialog.model()->rowCount(), 2);
    QCOMPARE(dialog.model()->indexOf(group(1)).data().toString(), QString("나"));
    QCOMPARE(dialog.model()->indexOf(document(0, 1)).data().toString(), file("b.id"));
    QCOMPARE(dialog.model()->indexOf(document(0, 0)).data(CorpusTreeModel::kStatusRole).toInt(), 1);
    QCOMPARE(dialog.model()->indexOf(document(0, 1)).data(CorpusTreeModel::kStatusRole).toInt(), 2);
    QCOMPARE(dialog.tree()->selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(ui->messages.isEmpty());
    // A list that can be neither read nor created is said so; the tree stays empty.
    BatchModificationDialog broken(*ui, path("no/such/dblist.dat"), path("h.dic"), view->tags(), {});
    QCOMPARE(ui->messages, QStringList{file("no/such/dblist.dat") + " 생성 실패"});
    QCOMPARE(broken.model()->rowCount(), 0);
  }

  void nothingSelectedDoesNothingAtAll() {
    int prompts = 0;
    BatchHooks hooks;
    hooks.status = [this](const QString& s) { statusLines << s; };
    hooks.profile = profile.get();
    BatchModificationDialog dialog(*ui, path("dblist.dat"), path("h.dic"), view->tags(), hooks);
    dialog.setListPrompt([&]() -> std::optional<std::string> {
      ++prompts;
      return std::nullopt;
    });
    ModalScript<HomonymCorrectionWindow> windows({});
    dialog.autoCorrect();
    dialog.correctHomonyms();
    dialog.checkWorkErrors();
    QCOMPARE(prompts, 0);
    QCOMPARE(windows.unexpected, 0);
    QVERIFY(ui->messages.isEmpty());
    QVERIFY(statusLines.isEmpty());
    QVERIFY(!dialog.lastOutcome().ran());
  }

  void workErrorCheckTakesADocumentOnceWhenItsGroupIsAlsoSelected() {
    runBatch(press({document(0, 0), group(0)}, &BatchModificationDialog::checkWorkErrors));
    QCOMPARE(ui->messages, (QStringList{kCheckDone, kCheckDone, "모든 [작업 오류 수정]을 완료했습니다."}));
    QCOMPARE(statusLines, (QStringList{file("a.id") + " [작업 오류 수정]을 완료했습니다.",
                                       file("b.id") + " [작업 오류 수정]을 완료했습니다."}));
    QCOMPARE(errorLog->text(), QString("A3 틀린 틀/XYZ\r\n"));
  }

  void failedDocumentsAreNamedInTheStatusLineAndCounted() {
    test::writeFile(path("bad.id"), "not a document");
    test::writeFile(path("dblist.dat"), k("1가\n2") + path("gone.id") + "\n2" + path("bad.id") + "\n2" +
                                            path("c.id") + "\n");
    runBatch(press({group(0)}, &BatchModificationDialog::checkWorkErrors));
    QCOMPARE(ui->messages, (QStringList{kCheckDone, "문헌 3개 가운데 2개는 [작업 오류 수정]을 하지 못했습니다:\n" +
                                                        file("gone.id") + ": 문헌 파일이 없습니다.\n" +
                                                        file("bad.id") + ": 문헌 파일을 열 수 없습니다."}));
    QCOMPARE(statusLines, (QStringList{file("gone.id") + " [작업 오류 수정]을 하지 못했습니다: 문헌 파일이 없습니다.",
                                       file("bad.id") + " [작업 오류 수정]을 하지 못했습니다: 문헌 파일을 열 수 없습니다.",
                                       file("c.id") + " [작업 오류 수정]을 완료했습니다."}));
    QVERIFY(errorLog->text().isEmpty());
    // The same documents through the homonym correction: no window for either failure.
    ui->messages.clear();
    ui->yesNoAnswers = {true};
    ModalScript<HomonymSelectionWindow> choose({[](HomonymSelectionWindow& w) {
      w.list()->setCurrentItem(w.list()->topLevelItem(0));
      w.choose();
    }});
    runBatch(press({group(0)}, &BatchModificationDialog::correctHomonyms));
    QVERIFY(choose.done());
    QCOMPARE(ui->messages.size(), 2);
    QCOMPARE(ui->messages[0], QString("동음어 수정이 완료되었습니다."));
    QVERIFY(ui->messages[1].startsWith("문헌 3개 가운데 2개는 [동음어 수정]을 하지 못했습니다:\n"));
    QCOMPARE(analyses("c.id"), std::vector<std::string>{"사과01/NNG"});
    QVERIFY(!QFile::exists(file("gone.id")));
  }

  void autoCorrectionAsksForTheListAndCorrectsEachDocumentOnce() {
    openInGrid("a.id");
    view->selectRow(2);
    test::writeFile(path("list.txt"), k("사과/NNG\t사과/NNG + 사과/NNG\n"));
    ModalScript<CorrectionListDialog> listDialog({[&](CorrectionListDialog& d) {
      QCOMPARE(d.windowTitle(), QString("자동 수정 목록 "));
      d.confirm();  // nothing chosen yet: told, kept open
      ui->fileAnswers = {file("list.txt")};
      d.chooseList();
      QCOMPARE(d.listField()->text(), file("list.txt"));
      d.confirm();
    }});
    runBatch(press({document(0, 0), group(0)}, &BatchModificationDialog::autoCorrect));
    QVERIFY(listDialog.done());
    QCOMPARE(ui->filters, QStringList{"자동 수정 목록  Files (*.txt)|*.txt||"});
    QCOMPARE(ui->messages, (QStringList{"자동 수정 목록 파일을 선택해 주세요", "모든 [형태소->단어]를 완료했습니다."}));
    QCOMPARE(statusLines, (QStringList{file("a.id") + " [형태소->단어]를 완료했습니다.",
                                       file("b.id") + " [형태소->단어]를 완료했습니다."}));
    QCOMPARE(analyses("a.id"), (std::vector<std::string>{"사과/NNG + 사과/NNG + 를/JKO", "먹/VV + 었/EP + 다/EF", "틀/XYZ"}));
    QCOMPARE(analyses("c.id"), std::vector<std::string>{"사과/NNG"});  // not selected
    // The grid shows the corrected file and writes into it, not into the replaced one.
    QCOMPARE(shownAnalysis(0), QString("사과/NNG + 사과/NNG + 를/JKO"));
    QCOMPARE(view->currentRow(), 2);
    const AnalysisRecord old = test::readDocument(path("a.id"))[1];
    AnalysisRecord edited = old;
    edited.analysis = k("먹었/VV + 다/EF");
    view->applyEdit(1, old, edited);
    QCOMPARE(analyses("a.id")[0], std::string("사과/NNG + 사과/NNG + 를/JKO"));
    QCOMPARE(analyses("a.id")[1], std::string("먹었/VV + 다/EF"));
  }

  void closingTheListDialogEndsTheBatchAndAListErrorNamesEachDocument() {
    {
      ModalScript<CorrectionListDialog> closed({[](CorrectionListDialog& d) { d.reject(); }});
      runBatch(press({group(1)}, &BatchModificationDialog::autoCorrect));
      QVERIFY(closed.done());
    }
    QVERIFY(ui->messages.isEmpty());
    QVERIFY(statusLines.isEmpty());
    test::writeFile(path("list.txt"), k("사과/NNG 사과02/NNG\n"));  // no tab
    ModalScript<CorrectionListDialog> chosen({[&](CorrectionListDialog& d) {
      ui->fileAnswers = {file("list.txt")};
      d.chooseList();
      d.confirm();
    }});
    runBatch(press({group(1), document(0, 1)}, &BatchModificationDialog::autoCorrect));
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY2(ui->messages[0].startsWith("문헌 2개 가운데 2개는 [형태소->단어]를 하지 못했습니다:\n" + file("c.id") +
                                        ": 자동 수정 목록 파일에 형식이 잘못되었습니다."),
             qPrintable(ui->messages[0]));
    QVERIFY(ui->messages[0].contains(file("b.id") + ": "));
    QCOMPARE(statusLines.size(), 2);
    QCOMPARE(analyses("c.id"), std::vector<std::string>{"사과/NNG"});
  }

  void stopOnTheFirstDocumentStillCorrectsTheSecond() {
    openInGrid("c.id");
    QStringList shown;
    ui->yesNoAnswers = {true};
    ModalScript<HomonymSelectionWindow> selection({[&](HomonymSelectionWindow& w) {
                                                     shown << "a:" + w.morphemeField()->text();
                                                     w.stop();
                                                   },
                                                   [&](HomonymSelectionWindow& w) {
                                                     shown << "c:" + w.morphemeField()->text();
                                                     w.list()->setCurrentItem(w.list()->topLevelItem(1));
                                                     w.choose();
                                                   }});
    runBatch(press({document(0, 0), document(1, 0)}, &BatchModificationDialog::correctHomonyms));
    QVERIFY(selection.done());
    QCOMPARE(selection.unexpected, 0);
    QCOMPARE(shown, (QStringList{"a:사과", "c:사과"}));
    QCOMPARE(ui->messages, (QStringList{"동음어 수정이 완료되었습니다.", "모든 [동음어 수정]을 완료했습니다."}));
    QCOMPARE(statusLines, (QStringList{file("a.id") + " [동음어 수정]을 완료 했습니다.",
                                       file("c.id") + " [동음어 수정]을 완료 했습니다."}));
    QCOMPARE(analyses("a.id")[0], std::string("사과/NNG + 를/JKO"));
    QCOMPARE(analyses("c.id"), std::vector<std::string>{"사과02/NNG"});
    QCOMPARE(shownAnalysis(0), QString("사과02/NNG"));  // the grid reloaded its document
    // Reached through its group, the line has no blank in "완료했습니다".
    statusLines.clear();
    ModalScript<HomonymSelectionWindow> skip({[](HomonymSelectionWindow& w) { w.skip(); }});
    runBatch(press({group(1)}, &BatchModificationDialog::correctHomonyms));
    QCOMPARE(statusLines, QStringList{file("c.id") + " [동음어 수정]을 완료했습니다."});
  }

  void anUnopenableDictionaryIsSaidBeforeAnyDocument() {
    WorkingContext c = view->context();
    c.homonymDictionary = path("missing.dic");
    view->setWorkingContext(c);
    ModalScript<HomonymCorrectionWindow> windows({});
    runBatch(press({group(0)}, &BatchModificationDialog::correctHomonyms));
    QCOMPARE(ui->messages, QStringList{"동음어 사전을 열 수 없습니다. [" + file("missing.dic") + "]"});
    QVERIFY(statusLines.isEmpty());
    QCOMPARE(windows.unexpected, 0);
  }
};

QTEST_MAIN(BatchModificationTest)
#include "batch_modification_test.moc"
