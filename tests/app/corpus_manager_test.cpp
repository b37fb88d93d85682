// The corpus manager "분석 문헌 관리" through the scripted seam: the list file's round trip,
// the tree and its status icons, list editing, the batch jobs over a selection, the
// usage-example search and its options dialog, and opening a document into the grid.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QDir>

#include <deque>
#include <functional>
#include <memory>

#include "app/command_table.h"
#include "facade/dbwrap.h"
#include "ui_base/grid_model.h"
#include "app/selvanor_view.h"
#include "common/files.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/corpus_manager_dialog.h"
#include "ui/corpus_tree_model.h"
#include "ui/example_options_dialog.h"
#include "ui/group_name_dialog.h"
#include "ui_base/report_viewer.h"

using namespace selvanor;
using selvanor::test::k;

namespace {

const QString kNoGroup = "선택된 그룹이 없습니다.";
const QString kCleanUpQuestion = "컴퓨터에 파일이 없으면 자동으로 목록에서 삭제됩니다. 계속 할까요 ?";
const QString kReferenceQuestion = "선택한 파일들에 대해 참조파일을 새로 생성하시겠습니까?";
const QString kStatisticsQuestion = "선택한 파일들에 대해 통계파일을 새로 생성하시겠습니까?";
const QString kTextExists = "텍스트 파일이 존재합니다. 새로 만드시겠습니까 ? ";

std::vector<AnalysisRecord> sampleRecords(const std::string& prefix, int n) {
  std::vector<AnalysisRecord> records;
  for (int i = 1; i <= n; ++i) {
    char serial[32];
    std::snprintf(serial, sizeof serial, "%s%06d0", prefix.c_str(), i);
    const bool hit = i == 2;
    records.push_back({serial, hit ? k("나는") : k("밥을") + std::to_string(i),
                       hit ? k("나/NP + 는/JX") : k("밥/NNG + 을/JKO")});
  }
  return records;
}

}  // namespace

class CorpusManagerTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::string listFile;

  std::string file(const char* name) const { return dir->filePath(name).toStdString(); }

  // A dialog over the current list file, with a model tester attached.
  std::unique_ptr<CorpusManagerDialog> open(const std::string& openDocument = {}) {
    auto d = std::make_unique<CorpusManagerDialog>(*ui, listFile, dir->path().toStdString(),
                                                   openDocument);
    new QAbstractItemModelTester(d->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 d.get());
    return d;
  }
  static void select(CorpusManagerDialog& d, corpus::NodeRef node) {
    const QModelIndex index = d.model()->indexOf(node);
    QVERIFY(index.isValid());
    d.tree()->selectionModel()->select(index, QItemSelectionModel::Select);
  }
  static QStringList documentsOf(const CorpusManagerDialog& d, std::size_t g) {
    QStringList out;
    for (const auto& doc : d.list().group(g).documents) out << QString::fromStdString(doc.path);
    return out;
  }
  static int statusShown(CorpusManagerDialog& d, corpus::NodeRef node) {
    return d.model()->data(d.model()->indexOf(node), CorpusTreeModel::kStatusRole).toInt();
  }
  // Runs `action` on the manager once it is up modally; gives up (closing whatever is
  // modal) after a while so that a fault cannot hang the test.
  static void whenManagerShown(QObject* context, std::function<void(CorpusManagerDialog&)> action) {
    auto* poll = new QTimer(context);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, context, [poll, tries, action] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* d = qobject_cast<CorpusManagerDialog*>(modal)) {
        poll->deleteLater();
        poll->stop();
        action(*d);
        if (d->isVisible()) d->reject();
      } else if (++*tries > 200) {
        poll->stop();
        poll->deleteLater();
        if (modal) modal->close();
        QFAIL("the corpus manager did not show");
      }
    });
    poll->start(10);
  }
  // The list file's line for a document.
  static std::string docLine(const std::string& path) { return "2" + path + "\n"; }

 private slots:
  void init() {
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    ui = std::make_unique<test::ScriptedInteraction>();
    listFile = file("dblist.dat");
  }
  void cleanup() {
    ui.reset();
    dir.reset();
  }

  void listLoadsShowsAndSavesUnchanged() {
    const std::string a1 = file("a1.id"), a2 = file("a2.id");
    const std::string text = "1" + k("그룹A") + "\n" + docLine(a1) + docLine(a2) + "1" + k("그룹B") + "\n";
    test::writeFile(listFile, text);
    auto d = open();
    QVERIFY(ui->messages.isEmpty());
    CorpusTreeModel* m = d->model();
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(m->data(m->index(0, 0)).toString(), QString("그룹A"));
    QCOMPARE(m->rowCount(m->index(0, 0)), 2);
    QCOMPARE(m->rowCount(m->index(1, 0)), 0);
    QCOMPARE(m->data(m->index(1, 0, m->index(0, 0))).toString(), QString::fromStdString(a2));
    QVERIFY(d->tree()->isExpanded(m->index(0, 0)));
    QVERIFY(!m->data(m->index(0, 0), Qt::DecorationRole).value<QIcon>().isNull());
    d->acceptList();
    QCOMPARE(d->result(), int(QDialog::Accepted));
    QVERIFY(!d->chosenDocument());
    QCOMPARE(test::readFile(listFile), text);
  }

  void absentListIsCreatedEmpty() {
    auto d = open();
    QVERIFY(ui->messages.isEmpty());
    QVERIFY(fileExists(listFile));
    QCOMPARE(d->model()->rowCount(), 0);
  }

  void documentsBeforeTheFirstGroupAreDroppedWithANotice() {
    const std::string stray = file("stray.id"), kept = file("kept.id");
    test::writeFile(listFile, docLine(stray) + "\n1G\n" + docLine(kept));
    auto d = open();
    QCOMPARE(ui->messages, QStringList({"첫 그룹 앞에 있는 문헌 1개는 목록에 넣지 않았습니다."}));
    QCOMPARE(documentsOf(*d, 0), QStringList({QString::fromStdString(kept)}));
    d->acceptList();
    QCOMPARE(test::readFile(listFile), "1G\n" + docLine(kept));
  }

  void unreadableListIsReportedAndNotReplacedUnasked() {
    // A folder where the list file should be: it can be neither read nor written.
    listFile = file("folder.dat");
    QVERIFY(QDir().mkpath(QString::fromStdString(listFile)));
    auto d = open();
    QCOMPARE(ui->messages, QStringList({QString::fromStdString(listFile) + " 생성 실패"}));
    QCOMPARE(d->model()->rowCount(), 0);
    d->acceptList();  // the question is answered No: the list is left alone, the dialog closes
    QCOMPARE(ui->questions, QStringList({"목록 파일을 읽지 못했습니다. 지금 보이는 목록으로 바꾸어 저장할까요 ?"}));
    QCOMPARE(d->result(), int(QDialog::Accepted));
  }

  void unwritableListKeepsTheDialogOpenUnlessTheUserLetsGo() {
    listFile = file("missing-folder/dblist.dat");
    auto d = open();
    QCOMPARE(ui->messages, QStringList({QString::fromStdString(listFile) + " 생성 실패"}));
    ui->messages.clear();
    ui->yesNoAnswers = {false};
    d->acceptList();
    QCOMPARE(ui->messages, QStringList({QString::fromStdString(listFile) + " 저장 실패"}));
    QCOMPARE(ui->questions, QStringList({"목록을 저장하지 않고 닫을까요 ?"}));
    QVERIFY(d->result() != int(QDialog::Accepted));
    ui->yesNoAnswers = {true};
    d->acceptList();
    QCOMPARE(d->result(), int(QDialog::Accepted));
  }

  void addFilesNeedsASelectionAndSkipsListedPaths() {
    const std::string a1 = file("a1.id"), b1 = file("b1.id"), b2 = file("b2.id");
    test::writeFile(listFile, "1A\n" + docLine(a1) + "1B\n");
    auto d = open();
    d->addFiles();
    QCOMPARE(ui->messages, QStringList({kNoGroup}));
    QVERIFY(ui->filters.isEmpty());  // no chooser without a target group

    ui->messages.clear();
    select(*d, {1, std::nullopt});
    ui->filesAnswers.push_back({QString::fromStdString(a1), QString::fromStdString(b1),
                                QString::fromStdString(b1), QString::fromStdString(b2)});
    d->addFiles();
    QCOMPARE(ui->filters, QStringList({"분헌 파일 (*.id)|*.id||"}));
    QVERIFY(ui->messages.isEmpty());
    QCOMPARE(documentsOf(*d, 0), QStringList({QString::fromStdString(a1)}));
    QCOMPARE(documentsOf(*d, 1), QStringList({QString::fromStdString(b1), QString::fromStdString(b2)}));
    QVERIFY(d->tree()->isExpanded(d->model()->index(1, 0)));

    // With a document selected its group is the target; a path CP949 cannot hold is refused.
    d->tree()->selectionModel()->clearSelection();
    select(*d, {0, std::size_t{0}});
    const QString foreign = dir->filePath("emoji-\U0001F600.id");
    ui->filesAnswers.push_back({foreign, dir->filePath("a2.id")});
    d->addFiles();
    QCOMPARE(documentsOf(*d, 0), QStringList({QString::fromStdString(a1), dir->filePath("a2.id")}));
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY(ui->messages[0].contains(foreign));
  }

  void groupsAreCreatedAndNodesRemoved() {
    const std::string a1 = file("a1.id"), a2 = file("a2.id");
    test::writeFile(a1, "x");
    test::writeFile(listFile, "1A\n" + docLine(a1) + docLine(a2) + "1B\n");
    auto d = open();
    std::unique_ptr<QMenu> menu(d->makeContextMenu());
    QStringList captions;
    for (QAction* a : menu->actions()) captions << a->text();
    QCOMPARE(captions, QStringList({"폴더 생성", "삭제"}));

    std::deque<std::optional<std::string>> names = {k("새 그룹"), std::string(), std::nullopt};
    d->setGroupNamePrompt([&] {
      auto n = names.front();
      names.pop_front();
      return n;
    });
    menu->actions()[0]->trigger();  // a name: added at the end
    d->createGroup();               // empty name: nothing
    d->createGroup();               // cancelled: nothing
    QCOMPARE(d->model()->rowCount(), 3);
    QCOMPARE(d->model()->data(d->model()->index(2, 0)).toString(), QString("새 그룹"));

    // The Delete key removes the selected document; "삭제" a selected group with its documents.
    select(*d, {0, std::size_t{1}});
    QTest::keyClick(d->tree(), Qt::Key_Delete);
    QCOMPARE(documentsOf(*d, 0), QStringList({QString::fromStdString(a1)}));
    QVERIFY(d->tree()->selectionModel()->selectedIndexes().isEmpty());
    select(*d, {0, std::nullopt});
    select(*d, {1, std::nullopt});
    menu->actions()[1]->trigger();
    QCOMPARE(d->model()->rowCount(), 1);
    QCOMPARE(d->model()->data(d->model()->index(0, 0)).toString(), QString("새 그룹"));
    select(*d, {0, std::nullopt});
    d->removeSelected();
    d->acceptList();
    QCOMPARE(test::readFile(listFile), std::string());
    QVERIFY(fileExists(a1));  // nothing is deleted on disk
  }

  void groupNameDialogRefusesWhatTheListCannotHold() {
    GroupNameDialog g(*ui);
    QCOMPARE(g.windowTitle(), QString("그룹명 입력"));
    g.field()->setText(QString::fromUtf8("\xF0\x9F\x98\x80"));
    g.tryAccept();
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY(g.result() != int(QDialog::Accepted));
    g.field()->setText("a\nb");
    g.tryAccept();
    QCOMPARE(ui->messages.last(), QString("그룹명에는 줄바꿈을 넣을 수 없습니다."));
    g.field()->setText("말뭉치");
    g.tryAccept();
    QCOMPARE(g.result(), int(QDialog::Accepted));
    QCOMPARE(g.name(), k("말뭉치"));
  }

  void cleanUpAsksSortsAndDropsMissingFiles() {
    const std::string lower = file("b.id"), upper = file("A.id"), gone = file("c.id");
    test::writeFile(lower, "x");
    test::writeFile(upper, "x");
    test::writeFile(file("A.idx"), "x");
    const std::string text = "1G\n" + docLine(lower) + docLine(gone) + docLine(upper);
    test::writeFile(listFile, text);
    auto d = open();
    QCOMPARE(statusShown(*d, {0, std::size_t{2}}), 2);
    d->cleanUp();  // answered No
    QCOMPARE(documentsOf(*d, 0).size(), 3);
    ui->yesNoAnswers = {true};
    d->cleanUp();
    QCOMPARE(ui->questions, QStringList({kCleanUpQuestion, kCleanUpQuestion}));
    QCOMPARE(ui->messages, QStringList({"파일정리가 끝났습니다."}));
    QCOMPARE(documentsOf(*d, 0), QStringList({QString::fromStdString(upper), QString::fromStdString(lower)}));
    QCOMPARE(statusShown(*d, {0, std::size_t{0}}), 2);
    QCOMPARE(test::readFile(listFile), text);  // written only by 확 인
    d->acceptList();
    QCOMPARE(test::readFile(listFile), "1G\n" + docLine(upper) + docLine(lower));
  }

  void cleanUpOfAnEmptyListSaysNothing() {
    auto d = open();
    ui->yesNoAnswers = {true};
    d->cleanUp();
    QCOMPARE(ui->questions.size(), 1);
    QVERIFY(ui->messages.isEmpty());
  }

  void buildJobsUpdateTheStatusIcons() {
    const std::string a = file("a.id"), b = file("b.id");
    test::writeDocument(a, sampleRecords("SVAAAAA", 3));
    test::writeDocument(b, sampleRecords("SVBBBBB", 3));
    test::writeFile(file("a.idx"), "not yet built");
    test::writeFile(listFile, "1G\n" + docLine(a) + docLine(b));
    auto d = open();
    QCOMPARE(statusShown(*d, {0, std::size_t{0}}), 2);
    QCOMPARE(statusShown(*d, {0, std::size_t{1}}), 1);
    const QIcon before = d->model()->data(d->model()->indexOf({0, std::size_t{0}}), Qt::DecorationRole).value<QIcon>();

    d->buildStatistics();  // nothing selected: not even the question
    QVERIFY(ui->questions.isEmpty());
    select(*d, {0, std::size_t{0}});
    d->buildStatistics();  // answered No
    QVERIFY(!fileExists(file("a.stt")));
    ui->yesNoAnswers = {true};
    d->buildStatistics();
    QCOMPARE(ui->questions, QStringList({kStatisticsQuestion, kStatisticsQuestion}));
    QCOMPARE(ui->messages, QStringList({"통계 파일 생성작업을 완료했습니다."}));
    QVERIFY(fileExists(file("a.stt")));
    QCOMPARE(statusShown(*d, {0, std::size_t{0}}), 4);
    const QIcon after = d->model()->data(d->model()->indexOf({0, std::size_t{0}}), Qt::DecorationRole).value<QIcon>();
    QVERIFY(before.cacheKey() != after.cacheKey());

    // A selected group processes each of its documents.
    d->tree()->selectionModel()->clearSelection();
    select(*d, {0, std::nullopt});
    ui->yesNoAnswers = {true};
    ui->messages.clear();
    d->buildReferences();
    QCOMPARE(ui->questions.last(), kReferenceQuestion);
    QCOMPARE(ui->messages, QStringList({"참조 파일 생성작업을 완료했습니다."}));
    QVERIFY(test::readFile(file("a.idx")) != "not yet built");
    QCOMPARE(statusShown(*d, {0, std::size_t{1}}), 2);
  }

  void noProgressWindowOutlivesItsJob() {
    const std::string a = file("a.id");
    test::writeDocument(a, sampleRecords("SVAAAAA", 3));
    test::writeFile(listFile, "1G\n" + docLine(a));
    auto d = open();
    select(*d, {0, std::size_t{0}});
    ui->yesNoAnswers = {true};
    // The closing message's event loop must not let the finished job's progress window show.
    int progressShowing = 0;
    ui->whileMessageShows = [&progressShowing] {
      QTest::qWait(700);
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<QProgressDialog*>(w) && w->isVisible()) ++progressShowing;
      }
    };
    d->buildReferences();
    ui->whileMessageShows = nullptr;
    QCOMPARE(ui->messages.size(), 1);
    QCOMPARE(progressShowing, 0);
  }

  void documentsOfACollapsedGroupAreNotVisited() {
    const std::string a = file("a.id");
    test::writeDocument(a, sampleRecords("SVAAAAA", 2));
    test::writeFile(listFile, "1G\n" + docLine(a));
    auto d = open();
    select(*d, {0, std::size_t{0}});
    d->tree()->collapse(d->model()->index(0, 0));
    ui->yesNoAnswers = {true};
    d->buildReferences();
    QVERIFY(ui->questions.isEmpty());
    QVERIFY(!fileExists(file("a.idx")));
    d->tree()->expand(d->model()->index(0, 0));
    d->buildReferences();
    QCOMPARE(ui->questions, QStringList({kReferenceQuestion}));
    QVERIFY(fileExists(file("a.idx")));
  }

  void failedBuildsAreNamed() {
    const std::string good = file("good.id"), bad = file("bad.id");
    test::writeDocument(good, sampleRecords("SVGOODD", 2));
    test::writeFile(bad, "this is no database");
    test::writeFile(listFile, "1G\n" + docLine(bad) + docLine(good));
    auto d = open();
    select(*d, {0, std::nullopt});
    ui->yesNoAnswers = {true, true};
    d->buildReferences();
    d->buildStatistics();
    const QString failed = "\n다음 문헌은 처리하지 못했습니다:\n" + QString::fromStdString(bad);
    QCOMPARE(ui->messages, QStringList({"참조 파일 생성작업을 완료했습니다." + failed,
                                        "통계 파일 생성작업을 완료했습니다." + failed}));
    QCOMPARE(statusShown(*d, {0, std::size_t{0}}), 1);
    QCOMPARE(statusShown(*d, {0, std::size_t{1}}), 4);
  }

  void textExportAsksBeforeReplacing() {
    const std::string a = file("a.id"), b = file("b.id");
    test::writeDocument(a, sampleRecords("SVAAAAA", 2));
    test::writeDocument(b, sampleRecords("SVBBBBB", 2));
    test::writeFile(file("b.txt"), "the analysed source");
    test::writeFile(listFile, "1G\n" + docLine(a) + docLine(b) + "1H\n");
    auto d = open();
    select(*d, {1, std::nullopt});  // a group alone: nothing exported, still the closing message
    select(*d, {0, std::size_t{0}});
    select(*d, {0, std::size_t{1}});
    ui->yesNoAnswers = {false};
    d->saveTexts();
    QCOMPARE(ui->questions, QStringList({kTextExists}));
    QCOMPARE(ui->messages, QStringList({"텍스트 만들기 작업을 종료 했습니다."}));
    QCOMPARE(test::readFile(file("b.txt")), std::string("the analysed source"));
    QCOMPARE(test::readFile(file("a.txt")), "SVAAAAA0000010\t" + k("밥을1") + "\t" + k("밥/NNG + 을/JKO") +
                                                "\nSVAAAAA0000020\t" + k("나는") + "\t" + k("나/NP + 는/JX") + "\n");
  }

  void exampleOptionsAreCheckedInOrder() {
    ExampleOptionsDialog o(*ui);
    QCOMPARE(o.windowTitle(), QString("사용예 검색 옵션"));
    QVERIFY(!o.wordChoice()->isChecked() && !o.analysisChoice()->isChecked());
    o.trySearch();
    o.textField()->setText("나는");
    o.trySearch();
    o.analysisChoice()->setChecked(true);
    o.trySearch();
    QCOMPARE(ui->messages, QStringList({"검색 대상 어절을 입력하십시요", "검색 대상을 선택하십시요",
                                        "저장 파일을 선택하십시요."}));
    QVERIFY(o.result() != int(QDialog::Accepted));
    ui->fileAnswers.push_back(dir->filePath("hits"));
    o.chooseOutput();
    QCOMPARE(o.outputField()->text(), dir->filePath("hits.txt"));
    o.trySearch();
    QCOMPARE(o.result(), int(QDialog::Accepted));
    QCOMPARE(o.options().text, k("나는"));
    QVERIFY(o.options().field == DBWrap::ExampleField::Analysis);
    QCOMPARE(o.options().output, file("hits.txt"));
  }

  void concordanceTakesTheSelectedDocumentsAndGroups() {
    const std::string a = file("a.id"), b = file("b.id"), c = file("c.id");
    test::writeFile(listFile, "1G\n" + docLine(a) + docLine(b) + "1H\n" + docLine(c));
    auto d = open();
    d->openConcordance();
    QCOMPARE(ui->messages, QStringList({"용례를 찾을 문헌을 고르세요."}));
    QVERIFY(d->concordanceDocuments().empty());
    select(*d, {1, std::size_t{0}});
    select(*d, {0, std::nullopt});
    select(*d, {0, std::size_t{1}});  // also in the selected group: searched once
    d->openConcordance();
    QCOMPARE(d->result(), int(QDialog::Accepted));
    QCOMPARE(d->concordanceDocuments(), (std::vector<std::string>{a, b, c}));
    QVERIFY(!d->chosenDocument());
  }

  void exampleSearchCollectsEveryDocumentAndOpensTheOutput() {
    const std::string a = file("a.id"), b = file("b.id"), out = file("hits.txt");
    test::writeDocument(a, sampleRecords("SVAAAAA", 3));
    test::writeDocument(b, sampleRecords("SVBBBBB", 3));
    test::writeFile(out, "left from an earlier search\r\n");
    test::writeFile(listFile, "1G\n" + docLine(a) + docLine(b));
    auto d = open();
    int asked = 0;
    d->setExampleOptionsPrompt([&]() -> std::optional<ExampleOptions> {
      ++asked;
      return ExampleOptions{k("나는"), DBWrap::ExampleField::Word, out};
    });
    QStringList opened;
    d->setReportOpener([&](const QString& p) { opened << p; });
    d->searchExamples();  // options asked first; with nothing selected nothing happens
    QCOMPARE(asked, 1);
    QVERIFY(opened.isEmpty());
    QCOMPARE(test::readFile(out), std::string("left from an earlier search\r\n"));

    select(*d, {0, std::nullopt});
    select(*d, {0, std::size_t{0}});
    select(*d, {0, std::size_t{1}});
    d->searchExamples();
    QCOMPARE(ui->messages, QStringList({"사용예 검색 작업을 종료 했습니다."}));
    QCOMPARE(opened, QStringList({QString::fromStdString(out)}));
    const std::string hits = test::readFile(out);
    QVERIFY(hits.find("earlier") == std::string::npos);
    QVERIFY(hits.find("SVAAAAA0000020:\t" + k("나는")) != std::string::npos);
    QVERIFY(hits.find("SVBBBBB0000020:\t" + k("나는")) != std::string::npos);
    QVERIFY(hits.find("SVAAAAA0000020") < hits.find("SVBBBBB0000020"));
  }

  // The usage-example report opens as the manager's own window and leaves the manager
  // usable: it is not modal, and the manager stays the window that takes the clicks.
  void exampleReportOpensBesideTheModalManager() {
    const std::string a = file("a.id"), out = file("hits.txt");
    test::writeDocument(a, sampleRecords("SVAAAAA", 3));
    test::writeFile(listFile, "1G\n" + docLine(a));
    auto d = open();
    d->setExampleOptionsPrompt([&]() -> std::optional<ExampleOptions> {
      return ExampleOptions{k("나는"), DBWrap::ExampleField::Word, out};
    });
    d->setWindowModality(Qt::ApplicationModal);
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    select(*d, {0, std::nullopt});
    select(*d, {0, std::size_t{0}});
    d->searchExamples();
    QCOMPARE(ui->messages, QStringList({"사용예 검색 작업을 종료 했습니다."}));
    auto* report = d->findChild<ReportViewer*>("exampleReport");
    QVERIFY(report);
    QVERIFY(QTest::qWaitForWindowExposed(report));
    QCOMPARE(report->parentWidget(), d.get());
    QCOMPARE(report->windowModality(), Qt::NonModal);
    QCOMPARE(QApplication::activeModalWidget(), d.get());
    QVERIFY(report->text()->toPlainText().contains("SVAAAAA0000020"));
    // Closing the report lets go of it; the manager stays open.
    report->close();
    QTRY_VERIFY(!d->findChild<ReportViewer*>("exampleReport"));
    QVERIFY(d->isVisible());
  }

  void exampleSearchNeverWritesOverADocument() {
    const std::string a = file("a.id"), other = file("other.id");
    test::writeDocument(a, sampleRecords("SVAAAAA", 3));
    test::writeDocument(other, sampleRecords("SVOOOOO", 3));
    test::writeFile(listFile, "1G\n" + docLine(a));
    for (const std::string& target : {a, other}) {
      auto d = open(other);  // `other` is open in the grid
      d->setExampleOptionsPrompt([&] { return ExampleOptions{k("나는"), DBWrap::ExampleField::Word, target}; });
      bool opened = false;
      d->setReportOpener([&](const QString&) { opened = true; });
      ui->messages.clear();
      select(*d, {0, std::size_t{0}});
      d->searchExamples();
      QCOMPARE(ui->messages, QStringList({"선택된 곳에 지정된 파일이 현재 사용중입니다."}));
      QVERIFY(!opened);
    }
    QCOMPARE(test::readDocument(a).size(), std::size_t{3});
    QCOMPARE(test::readDocument(other).size(), std::size_t{3});
  }

  void exampleSearchReportsUnreadableDocumentsAndOutputs() {
    const std::string bad = file("bad.id"), out = file("hits.txt");
    test::writeFile(bad, "this is no database");
    test::writeFile(listFile, "1G\n" + docLine(bad));
    auto d = open();
    d->setExampleOptionsPrompt([&] { return ExampleOptions{k("나는"), DBWrap::ExampleField::Word, out}; });
    select(*d, {0, std::size_t{0}});
    d->searchExamples();  // the built-in viewer cannot open an output that was never made
    QCOMPARE(ui->messages,
             QStringList({"사용예 검색 작업을 종료 했습니다.\n분석 문헌 파일을 읽을 수 없습니다: " +
                              QString::fromStdString(bad),
                          "결과 파일을 열 수 없습니다. [" + QString::fromStdString(out) + "]"}));

    // An output in a folder that does not exist: named once, no viewer.
    const std::string good = file("good.id"), nowhere = file("no-folder/hits.txt");
    test::writeDocument(good, sampleRecords("SVGOODD", 3));
    test::writeFile(listFile, "1G\n" + docLine(good));
    auto e = open();
    e->setExampleOptionsPrompt([&] { return ExampleOptions{k("나는"), DBWrap::ExampleField::Word, nowhere}; });
    bool opened = false;
    e->setReportOpener([&](const QString&) { opened = true; });
    select(*e, {0, std::size_t{0}});
    ui->messages.clear();
    e->searchExamples();
    QCOMPARE(ui->messages, QStringList({"사용예 검색 작업을 종료 했습니다.\n사용 예를 저장할 파일을 열 수 없습니다: " +
                                        QString::fromStdString(nowhere)}));
    QVERIFY(!opened);
  }

  void okAndDoubleClickChooseOnlyADocument() {
    const std::string a = file("a.id");
    test::writeFile(listFile, "1G\n" + docLine(a));
    {
      auto d = open();
      select(*d, {0, std::nullopt});
      d->openOnDoubleClick();  // a group: nothing at all
      QVERIFY(d->result() != int(QDialog::Accepted));
      d->acceptList();         // 확 인 on a group saves and closes without a document
      QCOMPARE(d->result(), int(QDialog::Accepted));
      QVERIFY(!d->chosenDocument());
    }
    auto d = open();
    select(*d, {0, std::size_t{0}});
    d->openOnDoubleClick();
    QCOMPARE(d->result(), int(QDialog::Accepted));
    QCOMPARE(d->chosenDocument().value_or(""), a);
  }

  void cancelDiscardsChanges() {
    const std::string text = "1G\n";
    test::writeFile(listFile, text);
    auto d = open();
    select(*d, {0, std::nullopt});
    d->removeSelected();
    d->reject();
    QCOMPARE(test::readFile(listFile), text);
  }

  void theViewOpensTheChosenDocumentIntoTheGrid() {
    const std::string a = file("a.id");
    test::writeDocument(a, sampleRecords("SVAAAAA", 4));
    test::writeFile(listFile, "1G\n" + docLine(a));
    CSelvanorView view(*ui, nullptr);
    WorkingContext c;
    c.documentListFile = listFile;
    view.setWorkingContext(c);
    bool driven = false;
    whenManagerShown(&view, [&](CorpusManagerDialog& d) {
      QCOMPARE(d.windowTitle(), QString("분석 문헌 관리"));
      select(d, {0, std::size_t{0}});
      d.acceptList();
      driven = true;
    });
    view.runCommand(cmd::kManageDocuments);
    QVERIFY(driven);
    QVERIFY(view.gridLoaded());
    QCOMPARE(view.context().currentDocument, a);
    QCOMPARE(view.model()->rowCount(), 4);

    // A listed document that cannot be opened is reported by the grid.
    const std::string missing = file("missing.id");
    test::writeFile(listFile, "1G\n" + docLine(missing));
    whenManagerShown(&view, [&](CorpusManagerDialog& d) {
      select(d, {0, std::size_t{0}});
      d.acceptList();
    });
    ui->messages.clear();
    view.runCommand(cmd::kOpenDocument);
    QCOMPARE(view.context().currentDocument, missing);
    QCOMPARE(ui->messages, QStringList({"저장된 파일이 없습니다."}));
  }
};

QTEST_MAIN(CorpusManagerTest)
#include "corpus_manager_test.moc"
