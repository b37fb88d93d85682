// The analysis reviews from the window: 작업 파일 내 재검토, the dialog 참조 파일과 비교,
// their report viewer and list window, double-clicking an occurrence into the grid and
// "모두 이 분석으로", driven through the scripted seam and checked against the files on disk.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "app/command_table.h"
#include "app/selvanor_view.h"
#include "facade/dbwrap.h"
#include "support/app_fixture.h"
#include "support/modal_script.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/compare_reference_dialog.h"
#include "ui/review_list_model.h"
#include "ui/review_list_window.h"
#include "ui_base/grid_model.h"
#include "ui_base/report_viewer.h"

using namespace selvanor;
using selvanor::test::k;

namespace {

const QString kSaved = "분석 결과가 텍스트로 저장되었습니다.";
const QString kCompareSaved = "참조파일 비교 결과가 저장되었습니다.";
const QString kReferenceFilter = "참조 파일 Files (*.idx)|*.idx||";
const QString kReportFilter = "재검토 결과 파일 Files (*.txt)|*.txt||";

// 사과를: S1 and S3 disagree (S5 agrees with S1 but for blanks); 배가: S4 and S6 disagree.
std::vector<AnalysisRecord> workRecords() {
  return {{"S1", k("사과를"), k("사과/NNG + 를/JKO")}, {"S2", k("먹었다"), k("먹/VV + 었/EP + 다/EF")},
          {"S3", k("사과를"), k("사과/NNP + 를/JKO")}, {"S4", k("배가"), k("배/NNG + 가/JKS")},
          {"S5", k("사과를"), k("사과/NNG+를/JKO")},   {"S6", k("배가"), k("배/NNG + 가/JKC")}};
}

QStringList childTexts(QAbstractItemModel* m, int group, int column) {
  QStringList out;
  const QModelIndex parent = m->index(group, 0);
  for (int r = 0; r < m->rowCount(parent); ++r) out << m->index(r, column, parent).data().toString();
  return out;
}

}  // namespace

class ReviewDialogsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<CSelvanorView> view;

  std::string path(const char* name) const { return dir->file(name); }
  QString file(const char* name) const { return QString::fromStdString(dir->file(name)); }
  void setDocument(const std::string& document) {
    WorkingContext c = view->context();
    c.currentDocument = document;
    view->setWorkingContext(c);
  }
  void openInGrid(const char* name) {
    view->chooseDocument(file(name));
    view->startAnalysis();
    QVERIFY(view->gridLoaded());
  }
  QString shownAnalysis(int row) { return view->model()->index(row, 2).data().toString(); }
  // A document and its reference file beside it (x.id -> x.idx).
  void referenced(const char* document, const std::vector<AnalysisRecord>& records) {
    test::writeDocument(path(document), records);
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(path(document)), result::kOk);
  }
  // The work-file review of doc.id (open in the grid) into report.txt.
  void reviewWorkFile() {
    ui->fileAnswers = {file("report.txt")};
    view->runCommand(cmd::kReviewInDocument);
    QCOMPARE(ui->messages, QStringList{kSaved});
    ui->messages.clear();
    QVERIFY(view->reviewList());
  }
  QModelIndex occurrence(int group, int row) {
    ReviewListModel* m = view->reviewList()->model();
    return m->index(row, 0, m->index(group, 0));
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = std::make_unique<test::ScriptedInteraction>();
    view = std::make_unique<CSelvanorView>(*ui, nullptr);
    new QAbstractItemModelTester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 view.get());
    test::writeDocument(path("doc.id"), workRecords());
  }
  void cleanup() {
    view.reset();
    dir.reset();
  }

  void commandsAreAvailable() {
    QVERIFY(findCommand(cmd::kReviewInDocument)->available);
    QVERIFY(findCommand(cmd::kCompareWithReference)->available);
  }

  // ---- 작업 파일 내 재검토 ----------------------------------------------------------

  void workFileReviewNeedsADocumentAndMayBeCancelled() {
    view->runCommand(cmd::kReviewInDocument);
    QCOMPARE(ui->messages, QStringList{"문헌 파일을 열어 주세요 "});
    QVERIFY(ui->filters.isEmpty());
    ui->messages.clear();
    setDocument(path("doc.id"));
    view->runCommand(cmd::kReviewInDocument);  // the chooser is cancelled
    QCOMPARE(ui->filters, QStringList{"분석 파일 (*.txt)|*.txt||"});
    QVERIFY(ui->messages.isEmpty());
    QVERIFY(!view->reviewList());
    QVERIFY(!QFile::exists(file("report.txt")));
  }

  void workFileReviewWritesTheReportAndOpensBothWindows() {
    openInGrid("doc.id");
    reviewWorkFile();
    const std::string expected = k(
        "\r\n"
        "S1 사과를 사과/NNG + 를/JKO \t - 먹었다 사과를 \r\n"
        "S3 사과를 사과/NNP + 를/JKO \t 사과를 먹었다 - 배가 사과를 \r\n"
        "S4 배가 배/NNG + 가/JKS \t 먹었다 사과를 - 사과를 배가 \r\n"
        "S6 배가 배/NNG + 가/JKC \t 배가 사과를 - \r\n");
    QCOMPARE(test::readFile(path("report.txt")), expected);
    ReportViewer* viewer = view->reviewReport();
    QVERIFY(viewer && viewer->isVisible());
    QCOMPARE(viewer->path(), file("report.txt"));
    QVERIFY(viewer->text()->toPlainText().contains("S3 사과를 사과/NNP + 를/JKO"));
    ReviewListWindow* list = view->reviewList();
    QVERIFY(list->isVisible());
    QVERIFY(!list->isModal());
    QCOMPARE(list->summary()->text(), QString("다르게 분석된 어절 2개"));
  }

  void workFileReviewFailureNamesTheFileAndOpensNothing() {
    openInGrid("doc.id");
    const QString report = file("no/such/folder/report.txt");
    ui->fileAnswers = {report};
    view->runCommand(cmd::kReviewInDocument);
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY2(ui->messages[0].startsWith("분석 재검토를 하지 못했습니다."), qPrintable(ui->messages[0]));
    QVERIFY(ui->messages[0].contains(report));
    QVERIFY(!view->reviewList());
    QVERIFY(!view->reviewReport());
    // A chosen document that is not on disk is named too.
    ui->messages.clear();
    view->runCommand(cmd::kCloseDocument);
    setDocument(path("gone.id"));
    ui->fileAnswers = {file("report.txt")};
    view->runCommand(cmd::kReviewInDocument);
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY(ui->messages[0].contains("분석 문헌 파일이 없습니다: " + file("gone.id")));
    QVERIFY(!QFile::exists(file("report.txt")));
  }

  // ---- the list window ----------------------------------------------------------------

  void listShowsOneGroupPerWordWithItsOccurrences() {
    openInGrid("doc.id");
    reviewWorkFile();
    ReviewListModel* m = view->reviewList()->model();
    QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(m->index(0, 0).data().toString(), QString("사과를"));
    QCOMPARE(m->index(0, 1).data().toString(), QString("2곳"));
    QCOMPARE(m->index(1, 0).data().toString(), QString("배가"));
    QCOMPARE(childTexts(m, 0, ReviewListModel::kWordOrSerial), (QStringList{"S1", "S3"}));
    QCOMPARE(childTexts(m, 0, ReviewListModel::kAnalysis), (QStringList{"사과/NNG + 를/JKO", "사과/NNP + 를/JKO"}));
    QCOMPARE(childTexts(m, 1, ReviewListModel::kDocument), (QStringList{"doc.id", "doc.id"}));
    QCOMPARE(childTexts(m, 1, ReviewListModel::kRecordNumber), (QStringList{"4", "6"}));
    QCOMPARE(m->rowCount(occurrence(0, 0)), 0);
    QCOMPARE(m->index(0, 2, m->index(0, 0)).data(Qt::ToolTipRole).toString(), file("doc.id"));
    // The button needs an occurrence, not a group.
    QTreeView* tree = view->reviewList()->tree();
    tree->setCurrentIndex(m->index(1, 0));
    QVERIFY(!view->reviewList()->applyButton()->isEnabled());
    tree->setCurrentIndex(occurrence(1, 1));
    QVERIFY(view->reviewList()->applyButton()->isEnabled());
  }

  void doubleClickOpensTheDocumentAtTheRecord() {
    setDocument(path("doc.id"));  // chosen, not shown: the click opens the grid
    reviewWorkFile();
    QVERIFY(!view->gridLoaded());
    QTreeView* tree = view->reviewList()->tree();
    QVERIFY(QTest::qWaitForWindowExposed(view->reviewList()));
    const QModelIndex s6 = occurrence(1, 1);
    const QPoint at = tree->visualRect(s6).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);  // a double click's first press
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(view->gridLoaded());
    QCOMPARE(view->currentRow(), 5);
    // A record number gone stale by an edit: the serial still finds the record.
    ui->yesNoAnswers = {true};
    view->selectRow(0);
    view->deleteCurrentRow();  // S1 goes, S6 is now row 4
    view->reviewList()->activate(s6);
    QCOMPARE(view->currentRow(), 4);
    QCOMPARE(view->model()->index(4, 0).data().toString(), QString("S6"));
    // An occurrence whose serial is gone is said so.
    ui->messages.clear();
    view->reviewList()->activate(occurrence(0, 0));
    QCOMPARE(ui->messages, QStringList{"문헌에 이 일련 번호가 없습니다: S1"});
    // Another document in the grid: the click switches to the occurrence's document.
    test::writeDocument(path("other.id"), {{"T1", "x", "x/NNG"}});
    openInGrid("other.id");
    view->reviewList()->activate(occurrence(1, 0));
    QCOMPARE(view->context().currentDocument, path("doc.id"));
    QCOMPARE(view->currentRow(), 2);
  }

  void applyRewritesTheListedRecordsThroughTheGrid() {
    openInGrid("doc.id");
    reviewWorkFile();
    view->selectRow(4);
    ReviewListWindow* list = view->reviewList();
    list->tree()->setCurrentIndex(occurrence(0, 1));  // S3: 사과/NNP + 를/JKO
    ui->yesNoAnswers = {false};  // declined: nothing changes
    list->applyButton()->click();
    QCOMPARE(ui->questions, QStringList{"2개 어절의 분석을 [사과/NNP + 를/JKO](으)로 바꾸시겠습니까?"});
    QCOMPARE(test::readDocument(path("doc.id")), workRecords());
    QVERIFY(ui->messages.isEmpty());

    ui->yesNoAnswers = {true};
    list->applyButton()->click();
    QCOMPARE(ui->messages, QStringList{"1개 어절의 분석을 바꾸었습니다."});
    std::vector<AnalysisRecord> expected = workRecords();
    expected[0].analysis = k("사과/NNP + 를/JKO");  // S5 was not listed: it stays
    QCOMPARE(test::readDocument(path("doc.id")), expected);
    QCOMPARE(shownAnalysis(0), QString("사과/NNP + 를/JKO"));
    QCOMPARE(view->model()->rowCount(), 6);
    QCOMPARE(view->currentRow(), 4);
    QCOMPARE(childTexts(list->model(), 0, ReviewListModel::kAnalysis),
             (QStringList{"사과/NNP + 를/JKO", "사과/NNP + 를/JKO"}));
    // The grid's handle is current: an edit afterwards keeps the change.
    const AnalysisRecord old = test::readDocument(path("doc.id"))[1];
    AnalysisRecord edited = old;
    edited.analysis = k("먹었/VV + 다/EF");
    view->applyEdit(1, old, edited);
    expected[1] = edited;
    QCOMPARE(test::readDocument(path("doc.id")), expected);
  }

  void applyToADocumentTheGridDoesNotHold() {
    setDocument(path("doc.id"));
    reviewWorkFile();
    test::writeDocument(path("other.id"), {{"T1", "x", "x/NNG"}});
    openInGrid("other.id");
    view->reviewList()->tree()->setCurrentIndex(occurrence(1, 1));  // S6: 배/NNG + 가/JKC
    ui->yesNoAnswers = {true};
    view->reviewList()->applyToGroup();
    QCOMPARE(ui->messages, QStringList{"1개 어절의 분석을 바꾸었습니다."});
    std::vector<AnalysisRecord> expected = workRecords();
    expected[3].analysis = k("배/NNG + 가/JKC");
    QCOMPARE(test::readDocument(path("doc.id")), expected);
    QCOMPARE(test::readDocument(path("other.id")).size(), std::size_t{1});
    // The document gone meanwhile: refused, the list keeps what it showed.
    ui->messages.clear();
    QVERIFY(QFile::remove(file("doc.id")));
    view->reviewList()->tree()->setCurrentIndex(occurrence(0, 0));
    ui->yesNoAnswers = {true};
    view->reviewList()->applyToGroup();
    QCOMPARE(ui->messages, QStringList{"분석 문헌 파일을 읽을 수 없어 아무것도 바꾸지 않았습니다."});
    QCOMPARE(childTexts(view->reviewList()->model(), 0, ReviewListModel::kAnalysis),
             (QStringList{"사과/NNG + 를/JKO", "사과/NNP + 를/JKO"}));
    QVERIFY(!QFile::exists(file("doc.id")));
  }

  // ---- 참조 파일과 비교 -------------------------------------------------------------

  void compareChecksTheFieldsInOrder() {
    CompareReferenceDialog dialog(*ui, kMaxListedGroups);
    QCOMPARE(dialog.windowTitle(), QString("참조 파일과 비교"));
    dialog.review();
    dialog.referenceField()->setText(file("r.idx"));
    dialog.review();
    dialog.comparedField()->setText(file("c.idx"));
    dialog.review();
    QCOMPARE(ui->messages, (QStringList{"참조 파일을 선택해 주세요 ", "비교 참조 파일을 선택해 주세요 ",
                                        "재검토 결과 저장 파일을 선택해 주세요 "}));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    // An empty first field is named first whatever follows.
    ui->messages.clear();
    dialog.referenceField()->clear();
    dialog.reportField()->setText(file("report.txt"));
    dialog.review();
    QCOMPARE(ui->messages, QStringList{"참조 파일을 선택해 주세요 "});
  }

  void compareChoosersFillOrEmptyTheirFields() {
    CompareReferenceDialog dialog(*ui, kMaxListedGroups);
    ui->fileAnswers = {file("r.idx"), file("c.idx"), file("out.txt")};
    dialog.chooseReference();
    dialog.chooseCompared();
    dialog.chooseReport();
    QCOMPARE(dialog.referenceField()->text(), file("r.idx"));
    QCOMPARE(dialog.comparedField()->text(), file("c.idx"));
    QCOMPARE(dialog.reportField()->text(), file("out.txt"));
    dialog.chooseReference();  // cancelled: the field is emptied
    dialog.chooseReport();
    QVERIFY(dialog.referenceField()->text().isEmpty());
    QVERIFY(dialog.reportField()->text().isEmpty());
    QCOMPARE(dialog.comparedField()->text(), file("c.idx"));
    QCOMPARE(ui->filters, (QStringList{kReferenceFilter, kReferenceFilter, kReportFilter, kReferenceFilter,
                                       kReportFilter}));
  }

  void compareFromTheMenuWritesTheReportAndOpensBothWindows() {
    referenced("r.id", {{"R1", k("나는"), k("나/NP + 는/JX")}, {"R2", k("밥을"), k("밥/NNG + 을/JKO")}});
    referenced("c.id", {{"C1", k("나는"), k("날/VV + 는/ETM")}, {"C2", k("밥을"), k("밥/NNG+을/JKO")}});
    test::ModalScript<CompareReferenceDialog> script({[&](CompareReferenceDialog& d) {
      ui->fileAnswers = {file("r.idx"), file("c.idx"), file("report.txt")};
      d.chooseReference();
      d.chooseCompared();
      d.chooseReport();
      d.review();
    }});
    view->runCommand(cmd::kCompareWithReference);
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(ui->messages, QStringList{kCompareSaved});
    QCOMPARE(test::readFile(path("report.txt")), k("R1 나는 나/NP + 는/JX \t - 밥을 \r\n"
                                                   "C1 나는 날/VV + 는/ETM \t - 밥을 \r\n"
                                                   "\r\n"));
    QVERIFY(view->reviewReport() && view->reviewReport()->isVisible());
    ReviewListModel* m = view->reviewList()->model();
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(childTexts(m, 0, ReviewListModel::kDocument), (QStringList{"r.id", "c.id"}));
    // 모두 이 분석으로 across both documents names each.
    view->reviewList()->tree()->setCurrentIndex(occurrence(0, 0));
    ui->messages.clear();
    ui->yesNoAnswers = {true};
    view->reviewList()->applyToGroup();
    QCOMPARE(ui->messages, QStringList{file("r.id") + ": 0개 어절의 분석을 바꾸었습니다.\n" + file("c.id") +
                                       ": 1개 어절의 분석을 바꾸었습니다."});
    QCOMPARE(test::readDocument(path("c.id"))[0].analysis, k("나/NP + 는/JX"));
  }

  void compareWithAMissingSiblingFailsNamingIt() {
    referenced("r.id", {{"R1", k("나는"), k("나/NP + 는/JX")}});
    referenced("c.id", {{"C1", k("나는"), k("날/VV + 는/ETM")}});
    QVERIFY(QFile::remove(file("c.id")));
    test::writeFile(path("report.txt"), "earlier");
    CompareReferenceDialog dialog(*ui, kMaxListedGroups);
    dialog.referenceField()->setText(file("r.idx"));
    dialog.comparedField()->setText(file("c.idx"));
    dialog.reportField()->setText(file("report.txt"));
    dialog.review();
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY2(ui->messages[0].startsWith("참조파일 비교 결과가 저장에 실패 했습니다."), qPrintable(ui->messages[0]));
    QVERIFY(ui->messages[0].contains("참조 파일의 분석 문헌 파일이 없습니다: " + file("c.id")));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));  // kept open, the paths as they were
    QCOMPARE(dialog.comparedField()->text(), file("c.idx"));
    QVERIFY(dialog.takeGroups().empty());
    QCOMPARE(test::readFile(path("report.txt")), std::string("earlier"));
    // A file that is not a reference file at all.
    ui->messages.clear();
    dialog.comparedField()->setText(file("report.txt"));
    dialog.reportField()->setText(file("out.txt"));
    dialog.review();
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY2(ui->messages[0].contains(file("report.txt")), qPrintable(ui->messages[0]));
    QVERIFY(!QFile::exists(file("out.txt")));
  }
};

QTEST_MAIN(ReviewDialogsTest)
#include "review_dialogs_test.moc"
