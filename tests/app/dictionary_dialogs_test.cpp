// The dictionary dialogs: the two entry dialogs, "동음어 사전 만들기", "사전 합치기" in both
// modes, and the view's text-dump commands, through the scripted seam.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "app/command_table.h"
#include "app/selvanor_view.h"
#include "facade/dbwrap.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/unregistered_dictionary.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/dictionary_merge_dialog.h"
#include "ui/homonym_entry_dialog.h"
#include "ui/make_homonym_dialog.h"
#include "ui/unregistered_entry_dialog.h"

using namespace selvanor;
using selvanor::test::k;
using Entry = DBWrap::DongumEntry;

namespace {

const QString kUnencodable = QStringLiteral("입력한 글자 [ก]는 CP949로 저장할 수 없습니다. 이 글자를 빼고 다시 입력해 주세요.");

QString q(const std::string& path) { return QString::fromStdString(path); }

std::vector<std::string> numberedForms(const std::string& dic, const char* headword) {
  DBWrap db;
  std::vector<Entry> entries;
  (void)db.getDongum(dic, k(headword), entries);
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(test::u(e.numberedForm));
  return out;
}

}  // namespace

class DictionaryDialogsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;

  void writeSenses(const std::string& dic, const std::vector<Entry>& entries) {
    DBWrap db;
    for (const auto& e : entries) QCOMPARE(db.addDongumRec(dic, e), result::kOk);
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = std::make_unique<test::ScriptedInteraction>();
  }
  void cleanup() {
    ui.reset();
    dir.reset();
  }

  // ---- entry dialogs -----------------------------------------------------------------

  void homonymEntryKeepsLongFieldsWhole() {
    const QString longHeadword = QString(600, QChar(0xAC00));      // 1200 bytes
    const QString longMeaning = QString(40000, QChar(0xB73B));     // 80000 bytes, past any line limit
    HomonymEntryDialog d(*ui, Entry{});
    QCOMPARE(d.windowTitle(), QString("동음어 사전"));
    d.headwordField()->setText(longHeadword);
    d.numberedFormField()->setText(longHeadword + "01");
    d.hanjaField()->setText(QStringLiteral("沙果"));
    d.meaningField()->setPlainText(longMeaning + "\n" + longMeaning);
    d.tryAccept();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(d.entry().headword.size(), std::size_t(1200));
    QCOMPARE(d.entry().numberedForm.size(), std::size_t(1202));
    QCOMPARE(d.entry().hanja, k("沙果"));
    QCOMPARE(d.entry().meaning, k(longMeaning.toStdString()) + "\r\n" + k(longMeaning.toStdString()));
    QVERIFY(ui->messages.isEmpty());

    // Pre-filled from the dictionary: nothing is cut either, and CR LF shows as a line break.
    Entry stored{std::string(40000, 'a'), "a01", " ", k("첫 줄\r\n둘째 줄")};
    HomonymEntryDialog again(*ui, stored);
    QCOMPARE(again.headwordField()->text().size(), 40000);
    QCOMPARE(again.meaningField()->toPlainText(), QString("첫 줄\n둘째 줄"));
    again.tryAccept();
    QCOMPARE(again.entry().headword, stored.headword);
    QCOMPARE(again.entry().meaning, stored.meaning);
  }

  void homonymEntryRefusesTextCp949CannotHold_data() {
    QTest::addColumn<int>("field");
    QTest::newRow("음") << 0;
    QTest::newRow("음번호") << 1;
    QTest::newRow("한자") << 2;
    QTest::newRow("의미") << 3;
  }
  void homonymEntryRefusesTextCp949CannotHold() {
    QFETCH(int, field);
    HomonymEntryDialog d(*ui, Entry{k("가"), k("가01"), " ", k("뜻")});
    const QString bad = QStringLiteral("가ก");
    if (field == 0) d.headwordField()->setText(bad);
    if (field == 1) d.numberedFormField()->setText(bad);
    if (field == 2) d.hanjaField()->setText(bad);
    if (field == 3) d.meaningField()->setPlainText(bad);
    d.tryAccept();
    QCOMPARE(ui->messages, QStringList({kUnencodable}));
    QVERIFY(d.result() != QDialog::Accepted);
    QVERIFY(d.entry().headword.empty());
    // Nothing typed is lost: the dialog still holds it.
    QCOMPARE(field == 3 ? d.meaningField()->toPlainText() : (field == 0   ? d.headwordField()
                                                             : field == 1 ? d.numberedFormField()
                                                                          : d.hanjaField())
                                                                ->text(),
             bad);
  }

  void unregisteredEntry() {
    UnregisteredEntryDialog d(*ui, DBWrap::MideungjaeEntry{k("가게"), k("상점\r\n가게")});
    QCOMPARE(d.windowTitle(), QString("미등재어사전"));
    QCOMPARE(d.noteField()->toPlainText(), QString("상점\n가게"));
    const QString longWord = QString(700, QChar(0xAC00));
    const QString longNote = QString(2000, QChar(0xB73B));
    d.wordField()->setText(longWord);
    d.noteField()->setPlainText(longNote + "\n");
    d.tryAccept();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(d.entry().word.size(), std::size_t(1400));
    QCOMPARE(d.entry().note, k(longNote.toStdString()) + "\r\n");

    for (int field = 0; field < 2; ++field) {
      UnregisteredEntryDialog refused(*ui, DBWrap::MideungjaeEntry{});
      (field == 0 ? refused.wordField()->setText("ก") : refused.noteField()->setPlainText("ก"));
      refused.tryAccept();
      QVERIFY(refused.result() != QDialog::Accepted);
      QVERIFY(refused.entry().word.empty() && refused.entry().note.empty());
    }
    QCOMPARE(ui->messages, QStringList({kUnencodable, kUnencodable}));
  }

  // ---- 동음어 사전 만들기 -----------------------------------------------------------

  void makeDialogChoosesAndBuilds() {
    MakeHomonymDialog d(*ui);
    QCOMPARE(d.windowTitle(), QString("동음어 사전 만들기"));
    const std::string source = dir->file("homonym.txt");
    test::writeFile(source, k("#1사과#2사과01#3沙果#5과일의 하나\r\n#1사과#2사과02#5사과하는\r\n 일\r\n"));
    QVERIFY(d.targetLabel()->text().startsWith("만들 사전: "));
    ui->fileAnswers.push_back(q(source));
    d.chooseSource();
    QCOMPARE(d.sourceField()->text(), q(source));
    // The dialog names the file it is about to write over, before the build.
    QCOMPARE(d.targetLabel()->text(), "만들 사전: " + q(dir->file("homonym.dic")));
    d.build();
    QCOMPARE(ui->messages, QStringList({QString::fromUtf8(homonym::msg::kBuilt)}));
    QCOMPARE(numberedForms(dir->file("homonym.dic"), "사과"), (std::vector<std::string>{"사과01", "사과02"}));

    d.chooseSource();  // cancelled: the field empties
    QCOMPARE(d.sourceField()->text(), QString());
    QCOMPARE(ui->filters, QStringList({"동음어 파일 (*.txt)|*.txt||", "동음어 파일 (*.txt)|*.txt||"}));
    d.build();  // nothing to read
    QCOMPARE(ui->messages.last(), QString::fromUtf8(homonym::msg::kBuildFailed));
  }

  void makeDialogNamesTheLineOfAFormatErrorAndKeepsTheOldDictionary() {
    const std::string dic = dir->file("bad.dic");
    writeSenses(dic, {{k("옛"), k("옛01"), " ", k("뜻")}});
    test::writeFile(dir->file("bad.txt"), k("#1가#2가01#5뜻\n#1나#2나01\n#1다#2다01#5뜻\n"));
    MakeHomonymDialog d(*ui);
    d.sourceField()->setText(q(dir->file("bad.txt")));
    d.build();
    QCOMPARE(ui->messages,
             QStringList({"[3]라인 주위에 형식오류가 있습니다.\r\n형식:[#1...#2...#3...#5...] 또는 "
                          "[#1..#2...#3...#$...]\r\n입력문장:[#1나#2나01]",
                          QString::fromUtf8(homonym::msg::kBuildFailed)}));
    QCOMPARE(numberedForms(dic, "옛"), (std::vector<std::string>{"옛01"}));
    QCOMPARE(numberedForms(dic, "가"), std::vector<std::string>{});
  }

  // ---- 사전 합치기 ---------------------------------------------------------------------

  void mergeHomonymKeepsTheBaseItems() {
    const std::string base = dir->file("base.dic"), other = dir->file("other.dic");
    writeSenses(base, {{k("사과"), k("사과01"), " ", k("기본의 뜻")}});
    writeSenses(other, {{k("사과"), k("사과01"), " ", k("다른 뜻")}, {k("사과"), k("사과02"), " ", k("새 뜻")},
                        {k("배"), k("배01"), " ", k("탈것")}});
    DictionaryMergeDialog d(*ui, DictionaryKind::Homonym);
    QCOMPARE(d.windowTitle(), QString("동음어 사전 합치기"));
    ui->fileAnswers = {q(base), q(other)};
    d.chooseBase();
    d.chooseOther();
    QCOMPARE(ui->filters, QStringList({"동음어 사전  (*.dic)|*.dic||", "동음어 사전  (*.dic)|*.dic||"}));
    d.merge();
    QCOMPARE(ui->messages, QStringList({"동음어 사전이 합쳐졌습니다."}));
    DBWrap db;
    std::vector<Entry> senses;
    QCOMPARE(db.getDongum(base, k("사과"), senses), result::kOk);
    QCOMPARE(senses.size(), std::size_t(2));
    QCOMPARE(test::u(senses[0].meaning), std::string("기본의 뜻"));
    QCOMPARE(test::u(senses[1].numberedForm), std::string("사과02"));
    QCOMPARE(numberedForms(base, "배"), (std::vector<std::string>{"배01"}));
  }

  void mergeReportsFailureAsFailure_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("failed");
    QTest::newRow("homonym") << int(DictionaryKind::Homonym) << "동음어 사전을 합치지 못했습니다.";
    QTest::newRow("unregistered") << int(DictionaryKind::Unregistered) << "미등재 사전을 합치지 못했습니다.";
  }
  void mergeReportsFailureAsFailure() {
    QFETCH(int, kind);
    QFETCH(QString, failed);
    const bool homonymMode = kind == int(DictionaryKind::Homonym);
    const std::string base = dir->file(homonymMode ? "base.dic" : "base.mdj");
    if (homonymMode) writeSenses(base, {{k("가"), k("가01"), " ", k("뜻")}});
    else QCOMPARE(DBWrap().addMideungjae(base, k("가"), k("뜻"), false), result::kOk);
    const std::string before = test::readFile(base);
    test::writeFile(dir->file("foreign.txt"), "not a dictionary\n");

    DictionaryMergeDialog d(*ui, DictionaryKind(kind));
    d.merge();  // both empty
    d.baseField()->setText(q(base));
    d.merge();  // the other empty
    d.otherField()->setText(q(dir->file("foreign.txt")));
    d.merge();
    d.otherField()->setText(q(dir->file("missing")));
    d.merge();
    QCOMPARE(ui->messages, QStringList({"기본 사전을 선택해 주세요", "합칠 사전을 선택해 주세요", failed, failed}));
    QCOMPARE(test::readFile(base), before);
    QVERIFY(!QFile::exists(q(dir->file("missing"))));
  }

  void mergeUnregisteredKeepsTheBaseNotes() {
    const std::string base = dir->file("base.mdj"), other = dir->file("other.mdj");
    DBWrap db;
    QCOMPARE(db.addMideungjae(base, k("가게"), k("기본"), false), result::kOk);
    QCOMPARE(db.addMideungjae(other, k("가게"), k("다른"), false), result::kOk);
    QCOMPARE(db.addMideungjae(other, k("나가"), k("새 말"), false), result::kOk);
    DictionaryMergeDialog d(*ui, DictionaryKind::Unregistered);
    ui->fileAnswers = {q(base), q(other)};
    d.chooseBase();
    d.chooseOther();
    d.merge();
    QCOMPARE(ui->filters, QStringList({"미등재 사전  (*.mdj)|*.mdj||", "미등재 사전  (*.mdj)|*.mdj||"}));
    QCOMPARE(ui->messages, QStringList({"미등재 사전이 합쳐졌습니다."}));
    std::vector<DBWrap::MideungjaeEntry> found;
    QCOMPARE(db.FindMideungjae(base, "", found), DBWrap::kMideungjaeFound);
    QCOMPARE(found.size(), std::size_t(2));
    QCOMPARE(test::u(found[0].note), std::string("기본"));
    QCOMPARE(test::u(found[1].note), std::string("새 말"));
    d.chooseBase();  // cancelled: the field empties
    QCOMPARE(d.baseField()->text(), QString());
  }

  // ---- the view's commands -----------------------------------------------------------

  void saveHomonymText() {
    CSelvanorView view(*ui, nullptr);
    view.runCommand(cmd::kSaveHomonymText);
    QCOMPARE(ui->messages, QStringList({"동음어 사전을 선택해 주세요 "}));
    QVERIFY(ui->filters.isEmpty());

    const std::string dic = dir->file("h.dic");
    writeSenses(dic, {{k("가"), k("가01"), " ", k("뜻")}, {k("가"), k("가02"), k("家"), k("집")}});
    WorkingContext context;
    context.homonymDictionary = dic;
    view.setWorkingContext(context);
    ui->messages.clear();
    ui->fileAnswers = {q(dir->file("h.txt")), QString(), q(dir->file("no/such/folder.txt")), q(dic)};
    view.runCommand(cmd::kSaveHomonymText);
    QCOMPARE(test::readFile(dir->file("h.txt")), k("#1가#2가01#3 #5뜻\r\n#1가#2가02#3家#5집\r\n"));
    view.runCommand(cmd::kSaveHomonymText);  // chooser cancelled: nothing happens
    view.runCommand(cmd::kSaveHomonymText);  // unwritable output
    view.runCommand(cmd::kSaveHomonymText);  // over the dictionary itself
    QCOMPARE(ui->messages, QStringList({"동음어 사전이 텍스트로 저장되었습니다.",
                                        QString::fromUtf8(homonym::msg::kSaveFailed),
                                        QString::fromUtf8(homonym::msg::kSaveFailed)}));
    QCOMPARE(ui->filters.first(), QString("텍스트 파일 (*.txt)|*.txt||"));
    QCOMPARE(numberedForms(dic, "가"), (std::vector<std::string>{"가01", "가02"}));

    context.homonymDictionary = dir->file("missing.dic");
    view.setWorkingContext(context);
    ui->fileAnswers = {q(dir->file("m.txt"))};
    view.runCommand(cmd::kSaveHomonymText);
    QCOMPARE(ui->messages.last(), QString::fromUtf8(homonym::msg::kSaveFailed));
  }

  void saveUnregisteredText() {
    CSelvanorView view(*ui, nullptr);
    view.runCommand(cmd::kSaveUnregisteredText);
    QCOMPARE(ui->messages, QStringList({"미등재어 사전을 선택해 주세요 "}));

    const std::string mdj = dir->file("u.mdj");
    QCOMPARE(DBWrap().addMideungjae(mdj, k("가게"), k("상점\r\n가게"), false), result::kOk);
    WorkingContext context;
    context.unregisteredDictionary = mdj;
    view.setWorkingContext(context);
    ui->messages.clear();
    ui->fileAnswers = {q(dir->file("u.txt")), q(dir->file("no/such/folder.txt"))};
    view.runCommand(cmd::kSaveUnregisteredText);
    view.runCommand(cmd::kSaveUnregisteredText);
    QCOMPARE(test::readFile(dir->file("u.txt")), k("key:[가게]\tmemo:[상점  가게]\r\n"));
    QCOMPARE(ui->messages, QStringList({"미등재어 사전이 텍스트로 저장되었습니다.",
                                        QString::fromUtf8(unregistered::msg::kSaveFailed)}));
  }

  void dialogCommandsOpenTheirDialogs_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("title");
    QTest::newRow("32818") << int(cmd::kBuildHomonymDictionary) << "동음어 사전 만들기";
    QTest::newRow("32826") << int(cmd::kMergeHomonymDictionaries) << "동음어 사전 합치기";
    QTest::newRow("32827") << int(cmd::kMergeUnregistered) << "미등재 사전 합치기";
  }
  void dialogCommandsOpenTheirDialogs() {
    QFETCH(int, id);
    QFETCH(QString, title);
    CSelvanorView view(*ui, nullptr);
    QVERIFY(view.canRun(id));
    QString shown;
    QTimer::singleShot(0, [&shown] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        shown = dialog->windowTitle();
        dialog->close();
      }
    });
    view.runCommand(id);
    QCOMPARE(shown, title);
    QVERIFY(view.canRun(cmd::kSaveHomonymText) && view.canRun(cmd::kSaveUnregisteredText));
  }
};

QTEST_MAIN(DictionaryDialogsTest)
#include "dictionary_dialogs_test.moc"
