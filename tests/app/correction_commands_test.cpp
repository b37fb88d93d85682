// The correction commands of the window through the scripted seam: 형태소->단어 with its
// dialog, 동음어 수정 and 동음어 재검토 with their two windows, each checked against the
// document as stored on disk and against what the grid shows afterwards.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <deque>
#include <functional>

#include "app/command_table.h"
#include "ui_base/grid_model.h"
#include "app/selvanor_view.h"
#include "facade/dbwrap.h"
#include "support/app_fixture.h"
#include "support/modal_script.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/auto_correction_dialog.h"
#include "ui/homonym_correction_window.h"

using namespace selvanor;
using selvanor::test::k;

namespace {

using selvanor::test::ModalScript;
using SelectionStep = std::function<void(HomonymSelectionWindow&)>;

// Selection steps.
SelectionStep pick(int row, QStringList* shown) {
  return [row, shown](HomonymSelectionWindow& w) {
    *shown << w.morphemeField()->text();
    w.list()->setCurrentItem(w.list()->topLevelItem(row));
    w.choose();
  };
}
SelectionStep chooseAgain() {
  return [](HomonymSelectionWindow& w) { w.choose(); };
}
SelectionStep skip(QStringList* shown) {
  return [shown](HomonymSelectionWindow& w) {
    *shown << w.morphemeField()->text();
    w.skip();
  };
}
SelectionStep stop(QStringList* shown) {
  return [shown](HomonymSelectionWindow& w) {
    *shown << w.morphemeField()->text();
    w.stop();
  };
}
SelectionStep closeControl(QStringList* shown) {
  return [shown](HomonymSelectionWindow& w) {
    *shown << w.morphemeField()->text();
    w.close();
  };
}

}  // namespace

class CorrectionCommandsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<QSettings> profile;
  std::unique_ptr<CSelvanorView> view;
  std::string doc;
  std::string dic;

  static std::vector<AnalysisRecord> records() {
    return {{"S0000010000010", k("사과를"), k("사과/NNG + 를/JKO")},
            {"S0000010000020", k("먹었다"), k("먹/VV + 었/EP + 다/EF")},
            {"S0000010000030", k("배가"), k("배/NNG + 가/JKS")}};
  }
  std::vector<std::string> storedAnalyses() {
    std::vector<std::string> out;
    for (const auto& r : test::readDocument(doc)) out.push_back(test::u(r.analysis));
    return out;
  }
  QString shownAnalysis(int row) { return view->model()->data(view->model()->index(row, 2)).toString(); }
  void setPaths(const std::string& document, const std::string& dictionary) {
    WorkingContext c = view->context();
    c.currentDocument = document;
    c.homonymDictionary = dictionary;
    view->setWorkingContext(c);
  }
  void openGrid() {
    view->chooseDocument(QString::fromStdString(doc));
    view->startAnalysis();
    QVERIFY(view->gridLoaded());
  }
  void writeList(std::string_view utf8) { test::writeFile(dir->file("sujeong.txt"), k(utf8)); }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = std::make_unique<test::ScriptedInteraction>();
    profile = std::make_unique<QSettings>(QString::fromStdString(dir->file("system.ini")), QSettings::IniFormat);
    view = std::make_unique<CSelvanorView>(*ui, nullptr);
    view->setSystemProfile(*profile);
    new QAbstractItemModelTester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 view.get());
    doc = dir->file("doc.id");
    dic = dir->file("homonym.dic");
    test::writeDocument(doc, records());
    DBWrap db;
    QCOMPARE(db.addDongumRec(dic, {k("사과"), k("사과01"), k("沙果"), k("과일")}), result::kOk);
    QCOMPARE(db.addDongumRec(dic, {k("사과"), k("사과02"), " ", k("잘못을 빎")}), result::kOk);
    QCOMPARE(db.addDongumRec(dic, {k("배"), k("배01"), " ", k("몸")}), result::kOk);
    QCOMPARE(db.addDongumRec(dic, {k("배"), k("배02"), " ", k("탈것")}), result::kOk);
  }
  void cleanup() {
    view.reset();
    profile.reset();
    dir.reset();
  }

  void commandsAreAvailable() {
    for (int id : {int(cmd::kAutoCorrect), int(cmd::kHomonymCorrect), int(cmd::kHomonymReview)}) {
      QVERIFY(findCommand(id)->available);
      QVERIFY(view->canRun(id));
    }
  }

  // ---- 형태소->단어 ---------------------------------------------------------------------

  void autoCorrectFromTheWindowShowsTheCorrectedDocument() {
    openGrid();
    view->selectRow(1);
    QCOMPARE(shownAnalysis(1), QString("먹/VV + 었/EP + 다/EF"));
    writeList("먹/VV + 었/EP\t먹었/VV\n");
    QString title;
    ModalScript<AutoCorrectionDialog> script({[&](AutoCorrectionDialog& d) {
      title = d.windowTitle();
      QCOMPARE(d.documentField()->text(), QString::fromStdString(doc));
      d.listField()->setText(QString::fromStdString(dir->file("sujeong.txt")));
      d.correct();
      d.reject();  // 닫 기
    }});
    view->runCommand(cmd::kAutoCorrect);
    QVERIFY(script.done());
    QCOMPARE(title, QString("자동 수정 목록 "));
    QCOMPARE(ui->messages, QStringList({"자동 목록 수정이 완료되었습니다."}));
    QCOMPARE(storedAnalyses(), (std::vector<std::string>{"사과/NNG + 를/JKO", "먹었/VV + 다/EF",
                                                         "배/NNG + 가/JKS"}));
    QCOMPARE(shownAnalysis(1), QString("먹었/VV + 다/EF"));
    QCOMPARE(view->currentRow(), 1);
    QCOMPARE(view->model()->rowCount(), 3);
    QVERIFY(!QFile::exists(QString::fromStdString(dir->file("sujeong.fix"))));

    // The grid reads the new file: an edit afterwards is stored, not lost in the old one.
    const AnalysisRecord old = test::readDocument(doc)[2];
    AnalysisRecord edited = old;
    edited.analysis = k("배/NNG + 가/JKC");
    view->applyEdit(2, old, edited);
    QCOMPARE(storedAnalyses()[1], std::string("먹었/VV + 다/EF"));
    QCOMPARE(storedAnalyses()[2], std::string("배/NNG + 가/JKC"));
  }

  void autoCorrectMessages_data() {
    QTest::addColumn<QString>("list");  // UTF-8 text of sujeong.txt, or "<none>"
    QTest::addColumn<QString>("field");  // the path field: "list", "missing" or ""
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("changed");
    QTest::newRow("success") << "먹/VV + 었/EP\t먹었/VV\n" << "list" << "자동 목록 수정이 완료되었습니다." << true;
    QTest::newRow("only blank lines") << "  \n\t\t\n\r\n" << "list" << "자동 목록 수정이 완료되었습니다." << false;
    QTest::newRow("line without a tab")
        << "먹/VV + 었/EP\t먹었/VV\n사과/NNG 사과02/NNG\n" << "list"
        << "자동 수정 목록 파일에 형식이 잘못되었습니다.\n[2]번째 줄: 탭 뒤에 바꿀 말이 없습니다: [사과/NNG 사과02/NNG]"
        << false;
    QTest::newRow("missing list") << "<none>" << "missing" << "자동 수정 목록 파일을 열 수가 없습니다." << false;
    QTest::newRow("empty field") << "먹/VV + 었/EP\t먹었/VV\n" << "" << "자동 수정 목록 파일을 선택해 주세요" << false;
  }
  void autoCorrectMessages() {
    QFETCH(QString, list);
    QFETCH(QString, field);
    QFETCH(QString, message);
    QFETCH(bool, changed);
    if (list != "<none>") writeList(list.toStdString());
    AutoCorrectionDialog dialog(*ui, doc);
    int rewritten = 0;
    connect(&dialog, &AutoCorrectionDialog::documentRewritten, [&] { ++rewritten; });
    if (field == "list") dialog.listField()->setText(QString::fromStdString(dir->file("sujeong.txt")));
    if (field == "missing") dialog.listField()->setText(QString::fromStdString(dir->file("nothere.txt")));
    const auto before = test::readDocument(doc);
    dialog.correct();
    QCOMPARE(ui->messages, QStringList({message}));
    QCOMPARE(test::readDocument(doc) != before, changed);
    QCOMPARE(rewritten, changed ? 1 : 0);
    QVERIFY(!QFile::exists(QString::fromStdString(dir->file("nothere.txt"))));
  }

  void listChooser() {
    AutoCorrectionDialog dialog(*ui, doc);
    ui->fileAnswers = {QString::fromStdString(dir->file("mine.txt")), QString()};
    dialog.chooseList();
    QCOMPARE(dialog.listField()->text(), QString::fromStdString(dir->file("mine.txt")));
    dialog.chooseList();  // cancelled: the field keeps its text
    QCOMPARE(dialog.listField()->text(), QString::fromStdString(dir->file("mine.txt")));
    QCOMPARE(ui->filters, QStringList({"자동수정목록  (*.txt)|*.txt||", "자동수정목록  (*.txt)|*.txt||"}));
    QVERIFY(dialog.documentField()->isReadOnly());
  }

  void autoCorrectNeedsADocument() {
    ModalScript<AutoCorrectionDialog> script({});
    view->runCommand(cmd::kAutoCorrect);
    QCOMPARE(ui->messages, QStringList({"문헌 파일을 열어 주세요 "}));
    QCOMPARE(script.unexpected, 0);
  }

  // A closed document is closed for the correction too: it asks for a document as before
  // any was opened, opens no dialog and leaves the file as it was.
  void autoCorrectRefusesAClosedDocument() {
    openGrid();
    const std::vector<std::string> before = storedAnalyses();
    view->runCommand(cmd::kCloseDocument);
    writeList("먹/VV + 었/EP\t먹었/VV\n");
    ModalScript<AutoCorrectionDialog> script({});
    view->runCommand(cmd::kAutoCorrect);
    QCOMPARE(ui->messages.last(), QString("문헌 파일을 열어 주세요 "));
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(storedAnalyses(), before);
    QVERIFY(!view->gridLoaded());
    QCOMPARE(view->model()->rowCount(), 0);
  }

  // ---- 동음어 수정 / 동음어 재검토 ------------------------------------------------------

  void preconditionsAndAnUnopenableDictionary() {
    ModalScript<HomonymSelectionWindow> script({});
    view->runCommand(cmd::kHomonymCorrect);
    setPaths(doc, "");
    view->runCommand(cmd::kHomonymReview);
    setPaths(doc, dir->file("missing.dic"));
    view->runCommand(cmd::kHomonymCorrect);
    QCOMPARE(ui->messages, QStringList({"문헌 파일을 열어 주세요 ", "동음어 사전을 선택해 주세요 ",
                                        "동음어 사전을 열 수 없습니다. [" +
                                            QString::fromStdString(dir->file("missing.dic")) + "]"}));
    QVERIFY(!QFile::exists(QString::fromStdString(dir->file("missing.dic"))));
    // The document itself named as the dictionary: refused, not a run that asks nothing.
    ui->messages.clear();
    setPaths(doc, doc);
    view->runCommand(cmd::kHomonymCorrect);
    QCOMPARE(ui->messages, QStringList({"동음어 사전을 열 수 없습니다. [" + QString::fromStdString(doc) + "]"}));
    QCOMPARE(script.unexpected, 0);
  }

  void chooseWithConfirmationAcceptedAndDeclined() {
    openGrid();
    setPaths(doc, dic);
    view->selectRow(2);
    QStringList shown;
    // 사과: 사과02 declined, then confirmed; 배: 배01 confirmed.
    ui->yesNoAnswers = {false, true, true};
    ModalScript<HomonymSelectionWindow> script({pick(1, &shown), chooseAgain(), pick(0, &shown)});
    view->runCommand(cmd::kHomonymCorrect);
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(shown, QStringList({"사과", "배"}));
    QCOMPARE(ui->questions, QStringList({"동음어 수정 확인: 사과02", "동음어 수정 확인: 사과02",
                                         "동음어 수정 확인: 배01"}));
    QCOMPARE(ui->messages, QStringList({"동음어 수정이 완료되었습니다."}));
    QCOMPARE(storedAnalyses(), (std::vector<std::string>{"사과02/NNG + 를/JKO", "먹/VV + 었/EP + 다/EF",
                                                         "배01/NNG + 가/JKS"}));
    QCOMPARE(test::serialsOf(test::readDocument(doc)), test::serialsOf(records()));
    QCOMPARE(shownAnalysis(0), QString("사과02/NNG + 를/JKO"));
    QCOMPARE(shownAnalysis(2), QString("배01/NNG + 가/JKS"));
    QCOMPARE(view->model()->rowCount(), 3);
    QCOMPARE(view->currentRow(), 2);
    // The selection window's place is kept in the system profile with the fixed size.
    const SelectionWindowPlace place = SelectionWindowPlace::load(*profile);
    QCOMPARE(place.right - place.left, 620);
    QCOMPARE(place.bottom - place.top, 360);
  }

  void skipDeclineAndTheCloseControlChangeNothing() {
    openGrid();
    setPaths(doc, dic);
    QStringList shown;
    ui->yesNoAnswers = {false};
    ModalScript<HomonymSelectionWindow> script({pick(0, &shown), skip(&shown), closeControl(&shown)});
    view->runCommand(cmd::kHomonymCorrect);
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(shown, QStringList({"사과", "사과", "배"}));
    QCOMPARE(ui->messages, QStringList({"동음어 수정이 완료되었습니다."}));
    QCOMPARE(test::readDocument(doc), records());
  }

  void stopEndsTheRunWithoutTheCompletionMessage() {
    openGrid();
    setPaths(doc, dic);
    QStringList shown;
    ModalScript<HomonymSelectionWindow> script({stop(&shown)});
    view->runCommand(cmd::kHomonymCorrect);
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(shown, QStringList({"사과"}));
    QVERIFY(ui->messages.isEmpty());
    QCOMPARE(test::readDocument(doc), records());
    QVERIFY(view->gridLoaded());
    QCOMPARE(view->model()->rowCount(), 3);
  }

  void reviewKeepsWhatWasChosenBeforeTheStop() {
    openGrid();
    setPaths(doc, dic);
    QStringList shown;
    ui->yesNoAnswers = {true};
    ModalScript<HomonymSelectionWindow> script({pick(0, &shown), stop(&shown)});
    view->runCommand(cmd::kHomonymReview);
    QVERIFY(script.done());
    QCOMPARE(shown, QStringList({"사과", "배"}));
    QVERIFY(ui->messages.isEmpty());
    QCOMPARE(storedAnalyses()[0], std::string("사과01/NNG + 를/JKO"));
    QCOMPARE(storedAnalyses()[2], std::string("배/NNG + 가/JKS"));
    QCOMPARE(shownAnalysis(0), QString("사과01/NNG + 를/JKO"));
  }

  void runOnAChosenDocumentWithoutTheGrid() {
    openGrid();
    view->runCommand(cmd::kCloseDocument);
    setPaths(doc, dic);
    QStringList shown;
    ui->yesNoAnswers = {true};
    ModalScript<HomonymSelectionWindow> script({pick(1, &shown), skip(&shown)});
    view->runCommand(cmd::kHomonymCorrect);
    QVERIFY(script.done());
    QCOMPARE(ui->messages, QStringList({"동음어 수정이 완료되었습니다."}));
    QCOMPARE(storedAnalyses()[0], std::string("사과02/NNG + 를/JKO"));
    QVERIFY(!view->gridLoaded());
    QVERIFY(!view->rowCache().isOpen());
    QCOMPARE(view->model()->rowCount(), 0);
  }

  void emptyDocumentIsReported() {
    setPaths(dir->file("empty.id"), dic);
    ModalScript<HomonymSelectionWindow> script({});
    view->runCommand(cmd::kHomonymCorrect);
    QCOMPARE(ui->messages, QStringList({"저장된 파일이 없습니다."}));
    QCOMPARE(script.unexpected, 0);
    QVERIFY(!QFile::exists(QString::fromStdString(dir->file("empty.id"))));
  }
};

QTEST_MAIN(CorrectionCommandsTest)
#include "correction_commands_test.moc"
