// The grid view through the scripted seam: preconditions and messages, the document life
// cycle, edits written through to the store, search and replace, the work-error check.
#include <QAbstractItemModelTester>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTableView>
#include <QTest>

#include "app/command_table.h"
#include "app/error_log_window.h"
#include "ui_base/grid_model.h"
#include "ui_base/report_viewer.h"
#include "app/search_window.h"
#include "app/selvanor_view.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"

using namespace selvanor;
using selvanor::test::k;

class ViewTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<CSelvanorView> view;
  std::unique_ptr<ErrorLogWindow> log;
  std::string doc;

  // A document of `n` records S0000010, S0000020, ... opened in the grid.
  void openDocument(int n) {
    std::vector<AnalysisRecord> records;
    for (int i = 1; i <= n; ++i) {
      char serial[32];
      std::snprintf(serial, sizeof serial, "SVTEST1%06d0", i);
      records.push_back({serial, k("낱말") + std::to_string(i), k("낱말/NNG + ") + std::to_string(i) + "/SN"});
    }
    test::writeDocument(doc, records);
    view->chooseDocument(QString::fromStdString(doc));
    view->startAnalysis();
  }
  std::vector<std::string> storedSerials() { return test::serialsOf(test::readDocument(doc)); }

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

  void preconditionsInOrder() {
    view->runCommand(cmd::kWorkErrorCheck);
    view->runCommand(cmd::kHomonymCorrect);
    WorkingContext c = view->context();
    c.currentDocument = doc;
    view->setWorkingContext(c);
    view->runCommand(cmd::kHomonymCorrect);
    view->runCommand(cmd::kSaveHomonymText);
    QCOMPARE(ui->messages, QStringList({"문헌 파일을 열어 주세요 ", "문헌 파일을 열어 주세요 ",
                                        "동음어 사전을 선택해 주세요 ", "동음어 사전을 선택해 주세요 "}));
    QCOMPARE(ui->warnings, ui->messages);  // with the warning icon
    // 분석 시작 and 검 색 say that no document is open; grid commands do nothing.
    ui->messages.clear();
    ui->warnings.clear();
    view->runCommand(cmd::kStartAnalysis);
    view->runCommand(cmd::kSearch);
    view->joinCurrentRow();
    QCOMPARE(ui->messages, QStringList({"문헌 파일을 열어 주세요 ", "문헌 파일을 열어 주세요 "}));
    QCOMPARE(ui->warnings, ui->messages);  // with the warning icon
    QVERIFY(!view->searchWindow());
  }

  void documentLifeCycleAndTitles() {
    QStringList titles;
    connect(view.get(), &CSelvanorView::titleChanged, [&](const QString& t) { titles << t; });
    QString reference = "unset";
    connect(view.get(), &CSelvanorView::documentReferenceChanged, [&](const QString& r) { reference = r; });
    openDocument(3);
    QVERIFY(view->documentChosen());
    QVERIFY(view->gridLoaded());
    QCOMPARE(view->model()->rowCount(), 3);
    QCOMPARE(view->model()->data(view->model()->index(1, 0)).toString(), QString("SVTEST10000020"));
    QCOMPARE(view->model()->data(view->model()->index(1, 1)).toString(), QString("낱말2"));
    QCOMPARE(reference, QString::fromStdString(doc + "x"));
    QCOMPARE(view->context().currentStatistics, dir->file("doc.stt"));
    view->runCommand(cmd::kCloseDocument);
    QVERIFY(!view->gridLoaded());
    QCOMPARE(view->model()->rowCount(), 0);
    QCOMPARE(titles, QStringList({"Selvanor - " + QString::fromStdString(doc), " Selvanor "}));
    QCOMPARE(reference, QString());
    QCOMPARE(view->context().currentDocument, std::string());  // nothing acts on a closed document
  }

  void emptyOrMissingDocumentSaysNoRecords() {
    view->chooseDocument(QString::fromStdString(dir->file("missing.id")));
    view->startAnalysis();
    QCOMPARE(ui->messages, QStringList({"저장된 파일이 없습니다."}));
    QCOMPARE(view->model()->rowCount(), 0);
    QVERIFY(!QFile::exists(QString::fromStdString(dir->file("missing.id"))));
  }

  void openThroughTheChooser() {
    test::writeDocument(doc, {{"A0000010", "w", "a/NNG"}});
    ui->fileAnswers.push_back(QString::fromStdString(doc));
    view->runCommand(cmd::kOpenDocument);
    QCOMPARE(ui->filters, QStringList({"DATABASE Files (*.id)|*.id||"}));
    QVERIFY(view->gridLoaded());
    QCOMPARE(view->model()->rowCount(), 1);
  }

  void joinSplitAndDeleteWriteThrough() {
    openDocument(3);
    view->selectRow(0);
    view->joinCurrentRow();
    QCOMPARE(storedSerials(), (std::vector<std::string>{"SVTEST1000001z", "SVTEST10000030"}));
    const auto joined = test::readDocument(doc)[0];
    QCOMPARE(joined.word, k("낱말1낱말2"));
    QCOMPARE(joined.analysis, k("낱말/NNG + 1/SN + 낱말/NNG + 2/SN"));
    view->selectRow(1);
    view->splitCurrentRow();
    QCOMPARE(storedSerials(),
             (std::vector<std::string>{"SVTEST1000001z", "SVTEST1000003a", "SVTEST1000003b"}));
    view->selectRow(1);
    ui->yesNoAnswers = {false, true};
    view->deleteCurrentRow();  // No: kept
    QCOMPARE(storedSerials().size(), size_t(3));
    view->deleteCurrentRow();
    QCOMPARE(ui->questions.value(0), QString("일련번호 \"SVTEST1000003a\" 를 삭제 하시겠습니까 ?"));
    QCOMPARE(storedSerials(), (std::vector<std::string>{"SVTEST1000001z", "SVTEST1000003b"}));
    QCOMPARE(view->model()->rowCount(), 2);
    // Joining the last row does nothing.
    view->selectRow(1);
    view->joinCurrentRow();
    QCOMPARE(storedSerials().size(), size_t(2));
  }

  void splitShiftsTheChainOfASplitWord() {
    test::writeDocument(doc, {{"W000001a", "a", "a/NNG"}, {"W000001b", "b", "b/NNG"},
                              {"W000001c", "c", "c/NNG"}, {"W0000020", "x", "x/NNG"}});
    view->chooseDocument(QString::fromStdString(doc));
    view->startAnalysis();
    view->selectRow(0);
    view->splitCurrentRow();
    const auto records = test::readDocument(doc);
    QCOMPARE(test::serialsOf(records),
             (std::vector<std::string>{"W000001a", "W000001b", "W000001c", "W000001d", "W0000020"}));
    QCOMPARE(records[1].word, std::string("a"));
    QCOMPARE(records[2].word, std::string("b"));
    QCOMPARE(records[3].word, std::string("c"));
    QCOMPARE(view->model()->rowCount(), 5);
  }

  void reloadShowsWhatAnotherOperationWrote() {
    openDocument(2);
    test::writeDocument(dir->file("other.id"), {{"N1", "new", "n/NNG"}});
    QVERIFY(QFile::remove(QString::fromStdString(doc)));
    QVERIFY(QFile::rename(QString::fromStdString(dir->file("other.id")), QString::fromStdString(doc)));
    view->reloadDocument();
    QCOMPARE(view->model()->rowCount(), 1);
    QCOMPARE(view->model()->data(view->model()->index(0, 1)).toString(), QString("new"));
  }

  void reportViewerDecodesCp949() {
    test::writeFile(dir->file("report.txt"), k("사과\t3\n"));
    ReportViewer viewer(*ui);
    QVERIFY(viewer.open(QString::fromStdString(dir->file("report.txt"))));
    QCOMPARE(viewer.text()->toPlainText(), QString("사과\t3\n"));
    QVERIFY(!viewer.open(QString::fromStdString(dir->file("missing.txt"))));
    QCOMPARE(ui->messages.size(), 1);
  }

  void searchAndReplace() {
    openDocument(5);
    view->runCommand(cmd::kSearch);
    SearchWindow* s = view->searchWindow();
    QVERIFY(s && s->isVisible());
    s->setTarget(1);
    s->setPattern("*4");
    view->selectRow(0);
    view->search();
    QCOMPARE(view->currentRow(), 3);
    s->setPattern("nothing");
    view->search();
    QCOMPARE(ui->messages, QStringList({"검색 결과가 없습니다. "}));
    // Replace the current row's word when it matches, then go on to the next match.
    s->setPattern("낱말*");
    s->setReplacement("고친말");
    view->replace();
    QCOMPARE(test::readDocument(doc)[3].word, k("고친말"));
    QCOMPARE(view->currentRow(), 4);
    s->setTarget(0);
    ui->messages.clear();
    view->replace();
    QCOMPARE(ui->messages, QStringList({"일련 번호는 수정을 지원하지 않습니다."}));
    // Typed text CP949 cannot hold is refused, nothing stored.
    ui->messages.clear();
    s->setTarget(2);
    s->setPattern("*");
    s->setReplacement("•/SW");
    view->replace();
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY(ui->messages[0].contains("CP949"));
    for (const auto& r : test::readDocument(doc)) QVERIFY(r.analysis.find('/') != std::string::npos);
  }

  void searchUpFromTheFirstRowTestsOnlyIt() {
    openDocument(3);
    view->showSearch();
    SearchWindow* s = view->searchWindow();
    s->setTarget(2);
    s->setDirection(1);
    s->setPattern("*3/SN");
    view->selectRow(0);
    view->search();
    QCOMPARE(ui->messages, QStringList({"검색 결과가 없습니다. "}));
    // Ctrl+L in the grid repeats the last search.
    ui->messages.clear();
    s->setDirection(0);
    bool bound = false;
    for (QShortcut* sc : view->grid()->findChildren<QShortcut*>()) {
      if (sc->key() == QKeySequence("Ctrl+L")) {
        bound = true;
        emit sc->activated();
      }
    }
    QVERIFY(bound);
    QCOMPARE(view->currentRow(), 2);
  }

  void editorResultWithDuplicateSerialIsRefused() {
    openDocument(3);
    const AnalysisRecord old = test::readDocument(doc)[0];
    AnalysisRecord edited = old;
    edited.serial = "SVTEST10000020";
    view->applyEdit(0, old, edited);
    QCOMPARE(ui->messages, QStringList({"중복된 일련 번호가 있습니다."}));
    QCOMPARE(test::readDocument(doc)[0], old);
    edited.serial = old.serial;
    edited.analysis = k("새/NNG");
    view->applyEdit(0, old, edited);
    QCOMPARE(test::readDocument(doc)[0].analysis, k("새/NNG"));
    QCOMPARE(test::readDocument(doc).size(), size_t(3));
  }

  void anEditThatIsNotStoredIsSaidSo() {
    openDocument(3);
    const std::vector<AnalysisRecord> before = test::readDocument(doc);
    AnalysisRecord edited = before[0];
    edited.serial.clear();  // the store refuses an empty serial
    view->applyEdit(0, before[0], edited);
    QCOMPARE(ui->messages, QStringList({QString::fromUtf8(kEditNotStored)}));
    QCOMPARE(test::readDocument(doc), before);
  }

  void workErrorCheckAppendsFailingRecords() {
    test::writeFile(dir->file("tag.txt"), k("#1체언\n#2일반명사/NNG\n#2숫자/SN\n"));
    WorkingContext c;
    c.tagFile = dir->file("tag.txt");
    view->setWorkingContext(c);
    view->initialUpdate(dir->path());
    QVERIFY(ui->messages.isEmpty());
    test::writeDocument(doc, {{"A1", "w", "a/NNG + 1/SN"}, {"A2", "v", k("먹/VV + 다/EF")}, {"A3", "x", "b/nng"}});
    view->chooseDocument(QString::fromStdString(doc));
    view->runCommand(cmd::kWorkErrorCheck);
    view->runCommand(cmd::kWorkErrorCheck);  // not cleared between runs
    QCOMPARE(ui->messages, QStringList({"오류 검사가 완료 되었습니다.", "오류 검사가 완료 되었습니다."}));
    QCOMPARE(log->text(), QString("A2 v 먹/VV + 다/EF\r\nA2 v 먹/VV + 다/EF\r\n"));
    // 오류창에 추가 and the clear command.
    view->startAnalysis();
    view->selectRow(0);
    view->addCurrentRowToErrorLog();
    QVERIFY(log->text().endsWith("A1 w a/NNG + 1/SN\r\n"));
    view->runCommand(cmd::kClearErrorLog);
    QCOMPARE(log->text(), QString());
  }

  void tagFileFailureIsShownAtStartUp() {
    WorkingContext c;
    c.tagFile = dir->file("none.txt");
    view->setWorkingContext(c);
    view->initialUpdate(dir->path());
    QCOMPARE(ui->messages, QStringList({QString::fromStdString(dir->file("none.txt")) + " 파일을 열 수 없습니다."}));
  }

  void errorLogSave() {
    log->append(k("A1 w a/NNG\r\n"));
    ui->fileAnswers.push_back(QString::fromStdString(dir->file("log.txt")));
    view->runCommand(cmd::kSaveErrorLog);
    QCOMPARE(test::readFile(dir->file("log.txt")), k("A1 w a/NNG\r\n"));
    QCOMPARE(ui->filters.last(), QString("오류 리스트 파일 (*.txt)|*.txt||"));
    ui->fileAnswers.push_back(QString::fromStdString(dir->file("no-folder/log.txt")));
    view->runCommand(cmd::kSaveErrorLog);
    QCOMPARE(ui->messages, QStringList({"파일을 저장할수 없습니다. "}));
    // An empty pane saves an empty file; a cancelled chooser does nothing.
    log->clear();
    ui->fileAnswers.push_back(QString::fromStdString(dir->file("empty.txt")));
    view->runCommand(cmd::kSaveErrorLog);
    QVERIFY(QFile::exists(QString::fromStdString(dir->file("empty.txt"))));
    QCOMPARE(test::readFile(dir->file("empty.txt")), std::string());
    view->runCommand(cmd::kSaveErrorLog);
    QCOMPARE(ui->messages.size(), 1);
  }

  void longFieldsSurviveEdits() {
    std::string analysis;
    for (int i = 0; i < 120; ++i) analysis += (i ? " + " : "") + k("가나다") + "/NNG";
    test::writeDocument(doc, {{"L0000010", k("긴낱말"), analysis}, {"L0000020", "w", "a/NNG"}});
    view->chooseDocument(QString::fromStdString(doc));
    view->startAnalysis();
    QCOMPARE(view->model()->data(view->model()->index(0, 2)).toString().size(), int(QString::fromStdString(test::u(analysis)).size()));
    view->selectRow(0);
    view->joinCurrentRow();
    QCOMPARE(test::readDocument(doc)[0].analysis, analysis + " + a/NNG");
  }
};

QTEST_MAIN(ViewTest)
#include "view_test.moc"
