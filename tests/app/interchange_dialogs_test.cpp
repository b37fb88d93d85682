// "분석 문헌 가져오기" and the export formats of "텍스트 저장", through the scripted seam:
// the checks in order, the prefix question, UTF-16 with markup and CoNLL-U imports,
// unmappable text refused or replaced, the imported document joining the selected group,
// and each format written beside its document.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <memory>

#include "common/files.h"
#include "support/app_fixture.h"
#include "support/modal_script.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/build_document_dialog.h"
#include "ui/corpus_manager_dialog.h"
#include "ui/corpus_tree_model.h"
#include "ui/import_document_dialog.h"

using namespace selvanor;
using selvanor::test::k;

namespace {

// UTF-16LE with its mark, of UTF-8 text holding only characters of the BMP.
std::string utf16le(const QString& text) {
  std::string out = "\xFF\xFE";
  for (const QChar c : text) {
    out += static_cast<char>(c.unicode() & 0xFF);
    out += static_cast<char>(c.unicode() >> 8);
  }
  return out;
}

const char* const kMarked =
    "<teiHeader>\r\n<title>제목</title>\r\n</teiHeader>\r\n<p>\r\n"
    "BTAA0001-00000001\t하늘이\t하늘/NNG + 이/JKS\r\n"
    "BTAA0001-00000002\t푸르다\t푸르/VA + 다/EF\r\n"
    "BTAA0001-00000003\t.\t./SF\r\n</p>\r\n";

const char* const kConllu =
    "# sent_id = 1\n"
    "1\t하늘이\t하늘+이\tNOUN\tNNG+JKS\t_\t2\tnsubj\t_\t_\n"
    "2\t푸르다\t푸르+다\tADJ\tVA+EF\t_\t0\troot\t_\t_\n\n";

}  // namespace

class InterchangeDialogsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;

  QString path(const char* name) const { return QString::fromStdString(dir->file(name)); }
  std::unique_ptr<ImportDocumentDialog> importDialog(const char* input, const char* output,
                                                     const std::string& open = {}) {
    auto d = std::make_unique<ImportDocumentDialog>(*ui, open);
    d->inputField()->setText(input ? path(input) : QString());
    d->outputField()->setText(output ? path(output) : QString());
    return d;
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

  void importChecksInOrderAndChooserFillsBothPaths() {
    test::writeFile(dir->file("a.txt"), "A1 a a/NN\nA2 b b/NN\nA3 c c/NN\n");
    auto d = importDialog(nullptr, "open.id", dir->file("open.id"));
    QVERIFY(d->attachDaBox()->isChecked());
    QVERIFY(!d->replaceBox()->isChecked());
    d->runImport();
    d->inputField()->setText(path("a.txt"));
    d->runImport();
    d->outputField()->setText(path("a.txt"));
    d->runImport();
    d->outputField()->clear();
    d->runImport();
    QCOMPARE(ui->messages, QStringList({"분석 파일을 선택해 주세요", "선택된 곳에 지정된 파일이 현재 사용중입니다.",
                                        "선택된 곳에 지정된 파일이 현재 사용중입니다.", "저장 파일을 지정해 주세요"}));
    ui->fileAnswers.push_back("/corpus/ud.conllu");
    d->chooseInput();
    QCOMPARE(d->outputField()->text(), QString("/corpus/ud.id"));
    QVERIFY(d->imported().empty());
  }

  void importsUtf16WithMarkupAsTheBuildOfThePlainText() {
    test::writeFile(dir->file("plain.txt"), k("BTAA0001-00000001\t하늘이\t하늘/NNG + 이/JKS\n"
                                              "BTAA0001-00000002\t푸르다\t푸르/VA + 다/EF\n"
                                              "BTAA0001-00000003\t.\t./SF\n"));
    BuildDocumentDialog build(*ui, "");
    build.inputField()->setText(path("plain.txt"));
    build.outputField()->setText(path("built.id"));
    build.build();
    test::writeFile(dir->file("marked.txt"), utf16le(QString::fromUtf8(kMarked)));
    auto d = importDialog("marked.txt", "marked.id");
    d->runImport();
    QCOMPARE(ui->messages.last(), QString("분석 문헌을 가져왔습니다. (UTF-16LE, 분석 텍스트, 토큰 3개)\n"
                                          "표시 줄 5개를 건너뛰었습니다 (머리 부분 1개 포함)."));
    QCOMPARE(test::readDocument(dir->file("marked.id")), test::readDocument(dir->file("built.id")));
    QCOMPARE(d->imported(), (std::vector<std::string>{dir->file("marked.id")}));
    // Read as CP949 on request, the same bytes are no text.
    d->encodingBox()->setCurrentIndex(d->encodingBox()->findText("CP949"));
    d->outputField()->setText(path("forced.id"));
    d->runImport();
    QVERIFY(ui->messages.last().startsWith("1번째 줄을 CP949로 읽을 수 없습니다"));
    QVERIFY(!fileExists(dir->file("forced.id")));
  }

  void conlluAsksForThePrefixThroughTheSerialPrompt() {
    test::writeFile(dir->file("t.conllu"), kConllu);
    auto d = importDialog("t.conllu", "t.id");
    d->attachDaBox()->setChecked(false);
    d->setPrefixPrompt([] { return std::nullopt; });
    d->runImport();
    QCOMPARE(ui->messages, QStringList({"파일 생성에 문제가 있습니다."}));
    QVERIFY(!fileExists(dir->file("t.id")));
    // The default prompt: "일련 번호 생성" refuses six characters, takes seven.
    auto withDefault = importDialog("t.conllu", "t.id");
    withDefault->formatBox()->setCurrentIndex(withDefault->formatBox()->findText("CoNLL-U"));
    test::ModalScript<SerialPrefixDialog> prompt({[](SerialPrefixDialog& p) {
      p.field()->setText("UDKO01");
      p.tryAccept();
      p.field()->setText("UDKO001");
      p.tryAccept();
    }});
    withDefault->runImport();
    QVERIFY(prompt.done());
    QCOMPARE(ui->messages.mid(1), QStringList({"일련 번호를 넣어 주세요.",
                                               "분석 문헌을 가져왔습니다. (UTF-8, CoNLL-U, 토큰 2개)"}));
    const auto records = test::readDocument(dir->file("t.id"));
    QCOMPARE(test::serialsOf(records), (std::vector<std::string>{"UDKO0010000010", "UDKO0010000020"}));
    QCOMPARE(records[1].analysis, k("푸르다/VA + 다/EF"));
  }

  void unmappableTextIsRefusedByLineOrReplacedWhenAsked() {
    test::writeDocument(dir->file("doc.id"), {{"OLD", "w", "w/NNG"}});
    test::writeFile(dir->file("e.txt"), "SERIAL01 a a/NN\nSERIAL02 b b/NN\nSERIAL03 웃음😀 x/SW\n");
    auto d = importDialog("e.txt", "doc.id");
    d->runImport();
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY(ui->messages[0].startsWith("3번째 줄의 글자 [😀](U+1F600)는 CP949로 저장할 수 없습니다."));
    QVERIFY(ui->messages[0].endsWith("문헌은 만들지도 바꾸지도 않았습니다."));
    QCOMPARE(test::serialsOf(test::readDocument(dir->file("doc.id"))), (std::vector<std::string>{"OLD"}));
    d->replaceBox()->setChecked(true);
    d->runImport();
    QVERIFY(ui->messages[1].endsWith("CP949에 없는 글자 1개를 □로 바꾸었습니다."));
    QCOMPARE(test::readDocument(dir->file("doc.id"))[2].word, k("웃음□"));
  }

  void corpusManagerImportsIntoTheSelectedGroupAndExportsInTheChosenFormat() {
    const std::string listFile = dir->file("dblist.dat");
    test::writeDocument(dir->file("a.id"), {{"S1", k("하늘이"), k("하늘/NNG + 이/JKS")},
                                            {"S2", k("."), k("./SF")}});
    test::writeFile(listFile, "1G\n2" + dir->file("a.id") + "\n");
    test::writeFile(dir->file("t.conllu"), kConllu);
    CorpusManagerDialog d(*ui, listFile, dir->path(), "");
    new QAbstractItemModelTester(d.model(), QAbstractItemModelTester::FailureReportingMode::QtTest, &d);
    const QModelIndex group = d.model()->indexOf({0, std::nullopt});
    d.tree()->selectionModel()->select(group, QItemSelectionModel::ClearAndSelect);

    test::ModalScript<ImportDocumentDialog> dialog({[this](ImportDocumentDialog& i) {
      i.inputField()->setText(path("t.conllu"));
      i.outputField()->setText(path("t.id"));
      i.setPrefixPrompt([] { return std::optional<std::string>("UDKO001"); });
      i.runImport();
      i.reject();
    }});
    d.importDocuments();
    QVERIFY(dialog.done());
    QCOMPARE(dialog.unexpected, 0);
    QCOMPARE(d.list().group(0).documents.size(), std::size_t{2});
    QCOMPARE(d.list().group(0).documents[1].path, dir->file("t.id"));

    // Nothing imported, or no group to put it in: the list stays.
    d.setImportRunner([] { return std::vector<std::string>{}; });
    d.importDocuments();
    QCOMPARE(d.list().group(0).documents.size(), std::size_t{2});

    d.tree()->selectionModel()->select(d.model()->indexOf({0, std::size_t{0}}),
                                       QItemSelectionModel::ClearAndSelect);
    QComboBox* format = d.textFormatBox();
    QCOMPARE(format->count(), 4);
    QCOMPARE(format->currentText(), QString("CP949 텍스트 (.txt)"));
    format->setCurrentIndex(format->findText("CoNLL-U (.conllu)"));
    d.saveTexts();
    QCOMPARE(test::readFile(dir->file("a.conllu")),
             std::string("# sent_id = S1\n# text = 하늘이 .\n1\t하늘이\t하늘+이\t_\tNNG+JKS\t_\t_\t_\t_\t_\n"
                         "2\t.\t.\t_\tSF\t_\t_\t_\t_\t_\n\n"));
    format->setCurrentIndex(format->findText("TSV (.tsv)"));
    d.saveTexts();
    QCOMPARE(test::readFile(dir->file("a.tsv")),
             std::string("serial\tword\tanalysis\nS1\t하늘이\t하늘/NNG + 이/JKS\nS2\t.\t./SF\n"));
    format->setCurrentIndex(format->findText("UTF-8 텍스트 (.txt)"));
    d.saveTexts();
    QCOMPARE(test::readFile(dir->file("a.txt")), std::string("S1\t하늘이\t하늘/NNG + 이/JKS\nS2\t.\t./SF\n"));
    QCOMPARE(ui->messages.count("텍스트 만들기 작업을 종료 했습니다."), 3);
  }
};

QTEST_MAIN(InterchangeDialogsTest)
#include "interchange_dialogs_test.moc"
