// The build dialogs, the settings dialog and the settings file they write.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/command_table.h"
#include "app/selvanor_view.h"
#include "app_core/settings.h"
#include "app/settings_dialog.h"
#include "support/app_fixture.h"
#include "support/modal_script.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/build_document_dialog.h"

using namespace selvanor;
using selvanor::test::k;

class DialogsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  test::ScriptedInteraction ui;

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = test::ScriptedInteraction();
  }
  void cleanup() { dir.reset(); }

  void buildChecksInOrder() {
    BuildDocumentDialog d(ui, dir->file("open.id"));
    QVERIFY(d.attachDaBox()->isChecked());
    d.build();
    test::writeFile(dir->file("two.txt"), "A1 a a/NNG\nA2 b b/NNG\n");
    d.inputField()->setText(QString::fromStdString(dir->file("two.txt")));
    d.outputField()->setText(QString::fromStdString(dir->file("open.id")));
    d.build();
    d.outputField()->setText(QString::fromStdString(dir->file("two.id")));
    d.build();
    QCOMPARE(ui.messages, QStringList({"분석 파일을 선택해 주세요", "선택된 곳에 지정된 파일이 현재 사용중입니다.",
                                       "파일 생성에 문제가 있습니다."}));
    QVERIFY(!QFile::exists(QString::fromStdString(dir->file("two.id"))));
  }

  void chooserFillsBothPaths() {
    BuildDocumentDialog d(ui, "");
    ui.fileAnswers.push_back("/corpus/text.txt");
    d.chooseInput();
    QCOMPARE(d.outputField()->text(), QString("/corpus/text.id"));
    QCOMPARE(ui.filters, QStringList({"Text Files (*.txt)|*.txt||"}));
  }

  void buildsNumberedAndUnnumberedText() {
    test::writeFile(dir->file("n.txt"), k("DOCNAME0000010 먹었다 먹/VV+었/EP+다/EF\nDOCNAME0000020 책 책/NNG\n"
                                          "DOCNAME0000030 셋 셋/NR\n"));
    BuildDocumentDialog d(ui, "");
    d.inputField()->setText(QString::fromStdString(dir->file("n.txt")));
    d.outputField()->setText(QString::fromStdString(dir->file("n.id")));
    d.attachDaBox()->setChecked(false);
    d.build();
    QCOMPARE(ui.messages, QStringList({"분석 문헌이 만들어 졌습니다."}));
    QCOMPARE(test::readDocument(dir->file("n.id"))[0].analysis, k("먹/VV + 었/EP + 다/EF"));

    test::writeFile(dir->file("u.txt"), k("먹었다 먹/VV\n책 책/NNG\n셋 셋/NR\n"));
    d.inputField()->setText(QString::fromStdString(dir->file("u.txt")));
    d.outputField()->setText(QString::fromStdString(dir->file("u.id")));
    int asked = 0;
    d.setPrefixPrompt([&]() -> std::optional<std::string> {
      ++asked;
      return asked == 1 ? std::nullopt : std::optional<std::string>("ABCDEFG");
    });
    d.build();  // prompt closed
    d.build();
    QCOMPARE(ui.messages.mid(1), QStringList({"파일 생성에 문제가 있습니다.", "분석 문헌이 만들어 졌습니다."}));
    QCOMPARE(test::serialsOf(test::readDocument(dir->file("u.id"))),
             (std::vector<std::string>{"ABCDEFG0000010", "ABCDEFG0000020", "ABCDEFG0000030"}));
  }

  void formatErrorNamesTheSerialAndKeepsTheOldDocument() {
    test::writeDocument(dir->file("b.id"), {{"OLD", "w", "a/NNG"}});
    test::writeFile(dir->file("b.txt"), k("DOCNAME0000010 하나 하나/NR\nDOCNAME0000020 둘 둘/NR\nDOCNAME0000030 셋\n"));
    BuildDocumentDialog d(ui, "");
    d.inputField()->setText(QString::fromStdString(dir->file("b.txt")));
    d.outputField()->setText(QString::fromStdString(dir->file("b.id")));
    d.build();
    QCOMPARE(ui.messages, QStringList({"[DOCNAME0000030] 일련번호에서 형식오류가 발생했습니다."}));
    QCOMPARE(test::serialsOf(test::readDocument(dir->file("b.id"))), (std::vector<std::string>{"OLD"}));
  }

  void serialPrefixPrompt() {
    SerialPrefixDialog p(ui);
    QCOMPARE(p.field()->maxLength(), 7);
    p.field()->setText("123456");
    p.tryAccept();
    QCOMPARE(ui.messages, QStringList({"일련 번호를 넣어 주세요."}));
    QCOMPARE(p.result(), int(QDialog::Rejected));
    p.field()->setText("가나다라마바사");
    p.tryAccept();
    QCOMPARE(p.result(), int(QDialog::Accepted));
    QCOMPARE(p.prefix(), k("가나다라마바사"));
  }

  void settingsDialogRowsAndWrite() {
    SettingsDialog d(ui, "/old/h.dic", "/old/u.mdj", "/old/r.idx");
    ui.fileAnswers.push_back("/new/h.dic");
    d.chooseRow(0);
    d.chooseRow(2);  // cancelled: the field keeps its path
    QCOMPARE(d.homonymPath(), QString("/new/h.dic"));
    QCOMPARE(d.unregisteredPath(), QString("/old/u.mdj"));
    QCOMPARE(d.referencePath(), QString("/old/r.idx"));
    QCOMPARE(ui.filters, QStringList({"동음어 사전 Files (*.dic)|*.dic||", "참조  Files (*.idx)|*.idx|"}));

    Settings settings(dir->file("selvanor.INI"));
    CSelvanorView view(ui, &settings);
    view.applySettings(d.homonymPath(), d.unregisteredPath(), d.referencePath());
    QCOMPARE(settings.homonymDictionary(), std::string("/new/h.dic"));
    QCOMPARE(settings.unregisteredDictionary(), std::string("/old/u.mdj"));
    const std::string ini = test::readFile(dir->file("selvanor.INI"));
    const std::size_t a = ini.find(k("미등재어")), b = ini.find(k("동음어")), c = ini.find(k("참조파일"));
    QVERIFY(a != std::string::npos && a < b && b < c);
    QCOMPARE(view.context().homonymDictionary, std::string("/new/h.dic"));
    QCOMPARE(view.context().referenceFile, std::string("/old/r.idx"));
  }

  // 환경 설정 end to end: every chooser cancelled, then 확 인. No setting may be lost, and an
  // empty field the user cleared by hand still clears its setting.
  void cancelledChoosersKeepEverySetting() {
    Settings settings(dir->file("selvanor.INI"));
    QVERIFY(settings.writeDictionaryPaths("/keep/u.mdj", "/keep/h.dic", "/keep/r.idx"));
    CSelvanorView view(ui, &settings);
    view.initialUpdate(dir->path());
    test::ModalScript<SettingsDialog> script({[](SettingsDialog& d) {
      for (QPushButton* b : d.findChildren<QPushButton*>()) {
        if (b->text() == "동음어 사전" || b->text() == "미등재어 사전" || b->text() == "참조 파일") b->click();
      }
      d.findChildren<QLineEdit*>().at(1)->clear();  // the unregistered-word row, by hand
      for (QPushButton* b : d.findChildren<QPushButton*>()) {
        if (b->text() == "확 인") b->click();
      }
    }});
    view.runCommand(cmd::kSettings);
    QVERIFY(script.done());
    QCOMPARE(ui.filters.size(), 3);  // three choosers opened, none answered
    QCOMPARE(settings.homonymDictionary(), std::string("/keep/h.dic"));
    QCOMPARE(settings.referenceFile(), std::string("/keep/r.idx"));
    QCOMPARE(settings.unregisteredDictionary(), std::string());
    QCOMPARE(view.context().homonymDictionary, std::string("/keep/h.dic"));
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
