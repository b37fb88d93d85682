// The document merge, the reference file dialogs, the reference text export and the
// statistics file dialog, on their own and through the view's commands.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QSignalSpy>
#include <QTimer>

#include <unistd.h>

#include <functional>

#include "app/command_table.h"
#include "ui_base/grid_model.h"
#include "ui_base/qt_text.h"
#include "app/reference_page.h"
#include "app/selvanor_view.h"
#include "stats/statistics_file.h"
#include "facade/dbwrap.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/file_size_limit.h"
#include "support/test_support.h"
#include "ui/build_reference_dialog.h"
#include "ui/merge_documents_dialog.h"
#include "ui/merge_references_dialog.h"
#include "ui/statistics_file_dialog.h"

using namespace selvanor;
using selvanor::test::k;

namespace {

const QString kMerged = "분석 문헌 합치기가 완료되었습니다.";
const QString kMergeUnreadable =
    "분석 문헌 합치기를 실패하였습니다. 열 수 없거나 분석 문헌이 아닌 파일이 있어 아무것도 합치지 않았습니다.";

// Runs `action` on the dialog of type D once the view shows it modally, then closes it.
template <class D>
void whenModal(std::function<void(D&)> action) {
  QTimer::singleShot(0, [action] {
    QWidget* shown = QApplication::activeModalWidget();
    auto* dialog = qobject_cast<D*>(shown);
    if (dialog) action(*dialog);
    if (auto* any = qobject_cast<QDialog*>(shown)) any->reject();
    QVERIFY2(dialog, "the expected dialog was not shown");
  });
}

QStringList recordLines(const std::vector<AnalysisRecord>& records) {
  QStringList out;
  for (const auto& r : records) {
    out << QString::fromStdString(r.serial + "|" + test::u(r.word) + "|" + test::u(r.analysis));
  }
  return out;
}

}  // namespace

class CorpusDialogsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<CSelvanorView> view;

  QString file(const char* name) const { return QString::fromStdString(dir->file(name)); }
  std::string path(const char* name) const { return dir->file(name); }

  // a.id: s1 하나, s2 둘; b.id: s2 둘째, s3 셋.
  void writeDocuments() {
    test::writeDocument(path("a.id"), {{"s1", k("하나"), k("하나/NR")}, {"s2", k("둘"), k("둘/NR")}});
    test::writeDocument(path("b.id"), {{"s2", k("둘째"), k("둘째/NR")}, {"s3", k("셋"), k("셋/NR")}});
  }
  void openInGrid(const char* name) {
    view->chooseDocument(file(name));
    view->startAnalysis();
  }
  // "분석문헌 합치기" from the view: fill the fields, 확 인, close.
  void mergeThroughTheView(const char* base, const char* added) {
    whenModal<MergeDocumentsDialog>([this, base, added](MergeDocumentsDialog& d) {
      d.baseField()->setText(file(base));
      d.addedField()->setText(file(added));
      d.confirm();
    });
    view->runCommand(cmd::kMergeDocuments);
  }
  QString cell(int row, int column) const {
    return view->model()->data(view->model()->index(row, column)).toString();
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = std::make_unique<test::ScriptedInteraction>();
    view = std::make_unique<CSelvanorView>(*ui, nullptr);
    new QAbstractItemModelTester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 view.get());
    writeDocuments();
  }
  void cleanup() {
    view.reset();
    ui.reset();
    dir.reset();
  }

  // ---- 분석문헌 합치기 -------------------------------------------------------------

  void mergeDocuments_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QStringList>("baseAfter");
    const QStringList unchanged = {"s1|하나|하나/NR", "s2|둘|둘/NR"};
    QTest::newRow("no base") << "" << "b.id" << "기본 파일을 선택해 주세요." << unchanged;
    QTest::newRow("no added") << "a.id" << "" << "합칠 파일을 선택해 주세요." << unchanged;
    QTest::newRow("merged") << "a.id" << "b.id" << kMerged
                            << QStringList({"s1|하나|하나/NR", "s2|둘째|둘째/NR", "s3|셋|셋/NR"});
    QTest::newRow("into itself") << "a.id" << "a.id" << kMerged << unchanged;
    QTest::newRow("added missing") << "a.id" << "missing.id" << kMergeUnreadable << unchanged;
    QTest::newRow("added not a document") << "a.id" << "a.idx" << kMergeUnreadable << unchanged;
  }
  void mergeDocuments() {
    QFETCH(QString, base);
    QFETCH(QString, added);
    QFETCH(QString, said);
    QFETCH(QStringList, baseAfter);
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(path("a.id")), result::kOk);
    MergeDocumentsDialog d(*ui, QString(), {});
    d.baseField()->setText(base.isEmpty() ? base : file("") + base);
    d.addedField()->setText(added.isEmpty() ? added : file("") + added);
    d.confirm();
    QCOMPARE(ui->messages, QStringList({said}));
    QCOMPARE(recordLines(test::readDocument(path("a.id"))), baseAfter);
    QCOMPARE(d.result(), int(QDialog::Rejected));  // the dialog stays open
  }

  void mergeChoosersAndRefusalWithoutRelease() {
    MergeDocumentsDialog d(*ui, "/docs/", {path("a.id"), nullptr, nullptr});
    ui->fileAnswers = {file("a.id"), file("b.id")};
    d.chooseBase();
    d.chooseAdded();
    d.chooseAdded();  // cancelled: the field keeps its path
    QCOMPARE(d.baseField()->text(), file("a.id"));
    QCOMPARE(d.addedField()->text(), file("b.id"));
    QCOMPARE(ui->filters, QStringList(3, "DB Files (*.id)|*.id||"));
    d.confirm();  // the open document, and nobody to let go of it
    QCOMPARE(ui->messages, QStringList({"선택된 곳에 지정된 파일이 현재 사용중입니다."}));
    QCOMPARE(test::readDocument(path("a.id")).size(), std::size_t(2));
  }

  void mergeIntoTheOpenDocumentRefreshesTheGrid() {
    openInGrid("a.id");
    QCOMPARE(view->model()->rowCount(), 2);
    mergeThroughTheView("a.id", "b.id");
    QCOMPARE(ui->messages, QStringList({kMerged}));
    QCOMPARE(view->model()->rowCount(), 3);
    QCOMPARE(cell(1, 1), QString("둘째"));
    QCOMPARE(cell(2, 0), QString("s3"));
    // The grid's handle works on the merged document: a delete is written through.
    view->selectRow(2);
    ui->yesNoAnswers = {true};
    view->deleteCurrentRow();
    QCOMPARE(recordLines(test::readDocument(path("a.id"))), QStringList({"s1|하나|하나/NR", "s2|둘째|둘째/NR"}));
    QCOMPARE(view->model()->rowCount(), 2);
  }

  void mergeOfTheOpenDocumentIntoAnother() {
    openInGrid("b.id");
    mergeThroughTheView("a.id", "b.id");
    QCOMPARE(ui->messages, QStringList({kMerged}));
    QCOMPARE(test::readDocument(path("a.id")).size(), std::size_t(3));
    QCOMPARE(view->model()->rowCount(), 2);
  }

  // ---- 참조 파일 만들기 and the page ---------------------------------------------------

  void buildReferenceThenThePageShowsTheRecordsInSerialOrder() {
    test::writeDocument(path("w.id"), {{"s3", k("나는"), k("나/NP + 는/JX")},
                                       {"s2", k("밥을"), k("밥/NNG + 을/JKO")},
                                       {"s1", k("나는"), k("날/VV + 는/ETM")}});
    CRefPage page(*ui);
    connect(view.get(), &CSelvanorView::documentReferenceChanged, &page, &CRefPage::setPath);
    openInGrid("w.id");
    QCOMPARE(page.path(), file("w.idx"));
    page.wordField()->setText("나는");
    page.search();  // no reference file yet
    QCOMPARE(ui->messages, QStringList({"참조 파일을 열 수 없습니다. [" + file("w.idx") + "]"}));

    whenModal<BuildReferenceDialog>([this](BuildReferenceDialog& d) {
      QCOMPARE(d.documentField()->text(), file("w.id"));
      QCOMPARE(d.targetField()->text(), file("w.idx"));
      QVERIFY(d.documentField()->isReadOnly() && d.targetField()->isReadOnly());
      d.make();
    });
    view->runCommand(cmd::kBuildReference);
    QCOMPARE(ui->messages.mid(1), QStringList({"분석 참조 검색 파일이 만들어 졌습니다."}));
    // Fresh results without another search.
    QCOMPARE(page.list()->rowCount(), 2);
    QCOMPARE(page.list()->item(0, 0)->text(), QString("s1"));
    QCOMPARE(page.list()->item(1, 0)->text(), QString("s3"));
    QCOMPARE(page.list()->item(1, 2)->text(), QString("나/NP + 는/JX"));
  }

  void buildReferenceFailures() {
    // A document that is missing.
    BuildReferenceDialog missing(*ui, path("missing.id"));
    QSignalSpy made(&missing, &DocumentFileDialog::made);
    missing.make();
    QCOMPARE(made.count(), 0);
    // A reference file that cannot be written: its name is taken by a folder with content.
    QVERIFY(QDir().mkpath(file("a.idx/inside")));
    BuildReferenceDialog blocked(*ui, path("a.id"));
    blocked.make();
    QCOMPARE(ui->messages,
             QStringList({"분석 문헌 파일을 읽을 수 없어 분석 참조 검색 파일을 만들지 못했습니다.",
                          "분석 참조 검색 파일을 저장할 수 없습니다. 이전 참조 파일이 있으면 그대로 남아 있습니다."}));
  }

  void documentCommandsNeedADocument() {
    view->runCommand(cmd::kBuildReference);
    view->runCommand(cmd::kBuildStatistics);
    QCOMPARE(ui->messages, QStringList({"문헌 파일을 열어 주세요 ", "문헌 파일을 열어 주세요 "}));
  }

  // ---- 참조 파일 합치기 --------------------------------------------------------------

  void mergeReferences_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("itemsOfDul");  // in the base after the merge
    QTest::newRow("nothing") << "" << "" << QStringList({"합칠 파일명을 입력해 주세요"}) << false << 1;
    QTest::newRow("no base") << "" << "b.idx" << QStringList({"기본 파일명을 입력해 주세요"}) << false << 1;
    QTest::newRow("merged") << "a.idx" << "b.idx" << QStringList({"참조 파일 합치기를 완료하였습니다."})
                            << true << 1;
    QTest::newRow("copy of itself") << "a.idx" << "copy.idx"
                                    << QStringList({"참조 파일 합치기를 완료하였습니다."}) << true << 2;
    QTest::newRow("added missing")
        << "a.idx" << "missing.idx"
        << QStringList({"참조 파일 합치기를 실패하였습니다.\n열 수 없거나 참조 파일이 아닌 파일이 있어 아무것도 "
                        "합치지 않았습니다."})
        << false << 1;
    QTest::newRow("added a document")
        << "a.idx" << "b.id"
        << QStringList({"참조 파일 합치기를 실패하였습니다.\n열 수 없거나 참조 파일이 아닌 파일이 있어 아무것도 "
                        "합치지 않았습니다."})
        << false << 1;
  }
  void mergeReferences() {
    QFETCH(QString, base);
    QFETCH(QString, added);
    QFETCH(QStringList, said);
    QFETCH(bool, closed);
    QFETCH(int, itemsOfDul);
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(path("a.id")), result::kOk);
    QCOMPARE(db.makeWonmunDB(path("b.id")), result::kOk);
    QVERIFY(QFile::copy(file("a.idx"), file("copy.idx")));
    MergeReferencesDialog d(*ui);
    d.baseField()->setText(base.isEmpty() ? base : file("") + base);
    d.addedField()->setText(added.isEmpty() ? added : file("") + added);
    d.confirm();
    QCOMPARE(ui->messages, said);
    QCOMPARE(d.result() == QDialog::Accepted, closed);
    std::vector<AnalysisRecord> items;
    QCOMPARE(db.getWonmun2(path("a.idx"), k("둘"), items), result::kOk);
    QCOMPARE(int(items.size()), itemsOfDul);
    if (base == "a.idx" && added == "b.idx") {
      QCOMPARE(db.getWonmun2(path("a.idx"), k("셋"), items), result::kOk);
      QCOMPARE(recordLines(items), QStringList({"s3|셋|셋/NR"}));
    }
  }

  void mergeReferenceChoosersClearOnCancel() {
    MergeReferencesDialog d(*ui);
    ui->fileAnswers = {file("a.idx")};
    d.chooseBase();
    QCOMPARE(d.baseField()->text(), file("a.idx"));
    d.chooseBase();  // cancelled
    QCOMPARE(d.baseField()->text(), QString());
    QCOMPARE(ui->filters, QStringList(2, "참조 파일  (*.idx)|*.idx||"));
  }

  void mergeIntoTheOpenDocumentsReferenceRefreshesThePage() {
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(path("a.id")), result::kOk);
    QCOMPARE(db.makeWonmunDB(path("b.id")), result::kOk);
    CRefPage page(*ui);
    connect(view.get(), &CSelvanorView::documentReferenceChanged, &page, &CRefPage::setPath);
    openInGrid("a.id");
    page.wordField()->setText("셋");
    page.search();
    QCOMPARE(page.list()->rowCount(), 0);
    whenModal<MergeReferencesDialog>([this](MergeReferencesDialog& d) {
      d.baseField()->setText(file("a.idx"));
      d.addedField()->setText(file("b.idx"));
      d.confirm();
    });
    view->runCommand(cmd::kMergeReferences);
    QCOMPARE(page.list()->rowCount(), 1);
  }

  // ---- 참조 파일 텍스트 저장 ------------------------------------------------------------

  void exportReferenceText() {
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(path("a.id")), result::kOk);
    QCOMPARE(db.mergeWonmunDB(path("a.idx"), path("a.idx")), result::kOk);
    QVERIFY(QDir().mkpath(file("blocked.txt/inside")));
    QVERIFY(QFile::copy(file("a.idx"), file("blocked.idx")));
    ui->fileAnswers = {QString(), file("a.idx"), file("missing.idx"), file("blocked.idx")};
    for (int i = 0; i < 4; ++i) view->runCommand(cmd::kSaveReferenceText);
    QCOMPARE(ui->filters, QStringList(4, "참조 파일 (*.idx)|*.idx||"));
    QCOMPARE(ui->messages, QStringList({"참조 파일이 텍스트로 저장되었습니다.", "참조 파일을 읽을 수 없습니다.",
                                        "텍스트 파일을 저장할 수 없습니다."}));
    QCOMPARE(test::readFile(path("a.txt")),
             k("s2\t둘\t둘/NR\ns2\t둘\t둘/NR\ns1\t하나\t하나/NR\ns1\t하나\t하나/NR\n"));
  }

  // ---- 통계 파일 만들기 --------------------------------------------------------------

  void buildStatisticsThroughTheView() {
    test::writeDocument(path("t.id"), {{"s1", k("서울에"), k("서울NNP + 에/JKB")},
                                       {"s2", k("서울은"), k("서울/NNP + 은/JX")}});
    openInGrid("t.id");
    whenModal<StatisticsFileDialog>([this](StatisticsFileDialog& d) {
      QCOMPARE(d.documentField()->text(), file("t.id"));
      QCOMPARE(d.targetField()->text(), file("t.stt"));
      d.make();
      d.make();  // made again: replaced, not added to
    });
    view->runCommand(cmd::kBuildStatistics);
    QCOMPARE(ui->messages, QStringList(2, "통계용 파일을 만들었습니다."));
    const auto content = stats::readStatisticsFile(path("t.stt"));
    QVERIFY(content);
    QCOMPARE(content->at("NNP").at(k("서울")), 2);
    QCOMPARE(content->at("JX").at(k("은")), 1);
  }

  void buildStatisticsFailures_data() {
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("said");
    QTest::newRow("missing document") << "missing.id" << "분석 문헌 파일을 읽을 수 없어 통계용 파일을 만들지 못했습니다.";
    QTest::newRow("not a document") << "a.idx" << "분석 문헌 파일을 읽을 수 없어 통계용 파일을 만들지 못했습니다.";
    QTest::newRow("unwritable target")
        << "a.id" << "통계용 파일을 저장할 수 없습니다. 이전 통계용 파일이 있으면 그대로 남아 있습니다.";
  }
  void buildStatisticsFailures() {
    QFETCH(QString, document);
    QFETCH(QString, said);
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(path("a.id")), result::kOk);
    QVERIFY(QDir().mkpath(file("a.stt/inside")));  // the statistics file's name is a folder
    StatisticsFileDialog d(*ui, nativePath(file("") + document));
    QSignalSpy made(&d, &DocumentFileDialog::made);
    d.make();
    QCOMPARE(ui->messages, QStringList({said}));
    QCOMPARE(made.count(), 0);
  }

  void statisticsIntoAnUnwritableFolder() {
    QVERIFY(QDir().mkpath(file("locked")));
    test::writeDocument(path("locked/l.id"), {{"s1", k("셋"), k("셋/NR")}});
    StatisticsFileDialog d(*ui, path("locked/l.id"));
    if (::geteuid() == 0) {
      // Permissions do not bind the superuser; a full disk stops it the same way.
      test::FileSizeLimit full(0);
      d.make();
    } else {
      QVERIFY(QFile::setPermissions(file("locked"), QFile::ReadOwner | QFile::ExeOwner));
      d.make();
      QVERIFY(QFile::setPermissions(file("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QCOMPARE(ui->messages,
             QStringList({"통계용 파일을 저장할 수 없습니다. 이전 통계용 파일이 있으면 그대로 남아 있습니다."}));
  }
};

QTEST_MAIN(CorpusDialogsTest)
#include "corpus_dialogs_test.moc"
