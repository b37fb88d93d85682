// The statistics dialogs: selection, range, tag picker, presentation, the four-step
// command and the single-document listings, driven through the scripted seam.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

#include <cstdio>

#include "common/files.h"
#include "facade/dbwrap.h"
#include "stats/tag_manager.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/corpus_tree_model.h"
#include "ui/statistics_command.h"
#include "ui/statistics_listing_dialog.h"
#include "ui/statistics_presentation_dialog.h"
#include "ui/statistics_range_dialog.h"
#include "ui/statistics_selection_dialog.h"
#include "ui/tag_picker_dialog.h"
#include "ui_base/qt_text.h"

using namespace selvanor;
using selvanor::test::k;

namespace {

const char* const kTagText =
    "#1체언\n#2일반명사/NNG\n#2고유명사/NNP\n"
    "#1용언\n#2동사/VV\n"
    "#1관계언\n#2격조사/JK\n#3주격조사/JKS\n#3목적격조사/JKO\n"
    "#1의존형태\n#2어미/E\n#3선어말어미/EP\n#3종결어미/EF\n";

QStringList selectedTexts(QListWidget* list) {
  QStringList out;
  for (int row = 0; row < list->count(); ++row) {
    if (list->item(row)->isSelected()) out << list->item(row)->text();
  }
  return out;
}

void selectText(QListWidget* list, const QString& text) {
  for (int row = 0; row < list->count(); ++row) {
    if (list->item(row)->text() == text) {
      list->setCurrentItem(list->item(row), QItemSelectionModel::Select);
      return;
    }
  }
  QFAIL(qPrintable("no list line " + text));
}

QStringList utf8(const std::vector<std::string>& cp949) {
  QStringList out;
  for (const std::string& s : cp949) out << QString::fromStdString(test::u(s));
  return out;
}

}  // namespace

class StatisticsDialogsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::ScratchDir> dir_;
  TagManager tags_;

  std::string path(const char* name) { return dir_->file(name); }

  // Two groups: 가 with a.id and b.id, 나 with c.id; each document with its statistics file.
  std::string makeCorpus() {
    test::writeDocument(path("a.id"), {{"S1", k("사과"), k("사과/NNG")}, {"S2", k("먹다"), k("먹/VV + 다/EF")}});
    test::writeDocument(path("b.id"), {{"S1", k("사과를"), k("사과/NNG + 를/JKO")}});
    test::writeDocument(path("c.id"), {{"S1", k("서울"), k("서울/NNP")}});
    DBWrap db;
    for (const char* d : {"a.id", "b.id", "c.id"}) (void)db.makeTongDB(path(d));
    const std::string list = path("dblist.dat");
    test::writeFile(list, k("1가\n2") + path("a.id") + "\n2" + path("b.id") + "\n" + k("1나\n2") + path("c.id") + "\n");
    return list;
  }

 private slots:
  void init() {
    dir_ = std::make_unique<test::ScratchDir>();
    test::writeFile(path("tag.txt"), k(kTagText));
    QVERIFY(tags_.Load(path("tag.txt")));
  }

  void pickerLinksClassesToTheirItemsAndCollectsTheirTags() {
    test::ScriptedInteraction ui;
    TagPickerDialog picker(ui, tags_);
    QVERIFY(picker.list(1)->isEnabled());
    QVERIFY(!picker.list(2)->isEnabled());
    selectText(picker.list(1), "관계언");
    QCOMPARE(selectedTexts(picker.list(2)), QStringList{"격조사"});
    QCOMPARE(selectedTexts(picker.list(3)), (QStringList{"주격조사", "목적격조사"}));
    // Deselecting the class takes its items with it.
    picker.list(1)->setCurrentItem(picker.list(1)->item(2), QItemSelectionModel::Deselect);
    QVERIFY(selectedTexts(picker.list(2)).isEmpty());
    QVERIFY(selectedTexts(picker.list(3)).isEmpty());

    selectText(picker.list(1), "체언");
    selectText(picker.list(1), "관계언");
    picker.start();
    QVERIFY(picker.pick());
    QCOMPARE(utf8(picker.pick()->tags), (QStringList{"NNG", "NNP", "JKS", "JKO"}));
    QCOMPARE(QString::fromStdString(test::u(picker.pick()->range.lower)), QString("가"));
    QCOMPARE(QString::fromStdString(test::u(picker.pick()->range.upper)), QString("힝"));
  }

  void pickerRangeKeepsTheUpperConsonantAfterTheLower() {
    test::ScriptedInteraction ui;
    TagPickerDialog picker(ui, tags_);
    QVERIFY(!picker.upperChoice()->isEnabled());
    picker.lowerChoice()->setCurrentIndex(2);  // ㄴ
    QVERIFY(picker.upperChoice()->isEnabled());
    picker.upperChoice()->setCurrentIndex(0);  // ㄱ comes before ㄴ: moved up to ㄴ
    QCOMPARE(picker.upperChoice()->currentText(), QString("ㄴ"));
    picker.levelButton(2)->click();
    QVERIFY(picker.list(2)->isEnabled());
    QVERIFY(!picker.list(1)->isEnabled());
    selectText(picker.list(2), "어미");
    picker.start();
    QCOMPARE(utf8(picker.pick()->tags), (QStringList{"EP", "EF"}));
    QCOMPARE(QString::fromStdString(test::u(picker.pick()->range.lower)), QString("나"));
    QCOMPARE(QString::fromStdString(test::u(picker.pick()->range.upper)), QString("닢"));
  }

  void rangeChoicesGiveTheRunType() {
    test::ScriptedInteraction ui;
    std::optional<TagPick> answer;
    StatisticsRangeDialog dialog(ui, [&] { return answer; });
    QCOMPARE(dialog.runType(), 1);
    dialog.withTagsButton()->click();
    QCOMPARE(dialog.runType(), 2);
    dialog.contentButton()->click();
    QCOMPARE(dialog.runType(), 4);
    dialog.vocabularyButton()->click();
    QCOMPARE(dialog.runType(), 3);
    dialog.relationalButton()->click();
    QCOMPARE(dialog.runType(), 6);

    // A cancelled pick clears 품사표지 again and leaves its fields off.
    dialog.tagsButton()->click();
    QVERIFY(!dialog.tagsButton()->isChecked());
    QVERIFY(!dialog.pickedList()->isEnabled());
    answer = TagPick{{"NNG"}, {k("가"), k("낑")}, {k("체언")}};
    dialog.tagsButton()->click();
    QCOMPARE(dialog.runType(), 5);
    QVERIFY(!dialog.wholeButton()->isChecked());
    QCOMPARE(dialog.lowerField()->text(), QString("가"));
    QCOMPARE(dialog.upperField()->text(), QString("낑"));
    QCOMPARE(dialog.pickedList()->item(0)->text(), QString("체언"));
  }

  void rangeNeedsAResultFile() {
    test::ScriptedInteraction ui;
    StatisticsRangeDialog dialog(ui, [] { return std::optional<TagPick>(); });
    dialog.confirm();
    QCOMPARE(ui.messages, QStringList{"결과 저장 파일명을 선택해 주세요"});
    QCOMPARE(dialog.result(), 0);
    ui.fileAnswers.push_back("/tmp/out.txt");
    dialog.chooseResultFile();
    QCOMPARE(ui.filters.back(), QString("통계 출력 파일 (*.txt)|*.txt||"));
    dialog.confirm();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.resultPath(), std::string("/tmp/out.txt"));
  }

  void presentationBuildsTheOptionString() {
    test::ScriptedInteraction ui;
    StatisticsPresentationDialog vocabulary(ui, 1);
    QCOMPARE(QString::fromStdString(vocabulary.presentation().options), QString("11010000100"));
    QVERIFY(!vocabulary.column(2)->isEnabled());
    QVERIFY(!vocabulary.sortButton(2)->isEnabled());

    StatisticsPresentationDialog tagged(ui, 2);
    QCOMPARE(QString::fromStdString(tagged.presentation().options), QString("11110000100"));
    tagged.column(4)->setChecked(true);
    tagged.column(6)->setChecked(true);
    tagged.sortButton(3)->click();
    tagged.ascendingBox()->click();  // one switch: both flip
    QVERIFY(tagged.descendingBox()->isChecked());
    QVERIFY(!tagged.ascendingBox()->isChecked());
    tagged.descendingBox()->click();
    QVERIFY(tagged.ascendingBox()->isChecked());
    tagged.descendingBox()->click();
    QCOMPARE(QString::fromStdString(tagged.presentation().options), QString("11111010310"));

    // 폴더/문헌 정보 제시 and 특수기호무시 exclude each other.
    tagged.column(7)->setChecked(true);
    QVERIFY(!tagged.ignoreMarkersBox()->isEnabled());
    tagged.column(7)->setChecked(false);
    tagged.ignoreMarkersBox()->setChecked(true);
    QVERIFY(!tagged.column(7)->isEnabled());
    QCOMPARE(QString::fromStdString(tagged.presentation().options), QString("11111010311"));
    tagged.perMillionBox()->setChecked(true);
    tagged.utf8Box()->setChecked(true);
    QVERIFY(tagged.presentation().perMillion);
    QVERIFY(tagged.presentation().utf8);
    QVERIFY(!tagged.presentation().docRange);
  }

  void selectionTurnsTreeNodesIntoEntries() {
    const std::string list = makeCorpus();
    test::ScriptedInteraction ui;
    StatisticsSelectionDialog dialog(ui, list);
    QAbstractItemModelTester tester(dialog.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    dialog.proceed();  // nothing selected: nothing happens
    QCOMPARE(dialog.result(), 0);

    auto* selection = dialog.tree()->selectionModel();
    selection->select(dialog.model()->indexOf({0, 1}), QItemSelectionModel::Select);
    selection->select(dialog.model()->indexOf({0, 0}), QItemSelectionModel::Select);
    selection->select(dialog.model()->indexOf({1, std::nullopt}), QItemSelectionModel::Select);
    dialog.proceed();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QStringList got;
    for (const stats::RunEntry& e : dialog.entries()) {
      got << QString::number(e.kind) + ":" + QString::fromStdString(e.kind == stats::RunEntry::Folder ? test::u(e.name) : e.name);
    }
    QCOMPARE(got, (QStringList{"1:가", "2:" + QString::fromStdString(path("a.id")),
                               "2:" + QString::fromStdString(path("b.id")), "1:나",
                               "2:" + QString::fromStdString(path("c.id"))}));
  }

  void commandRunsToTheReportAndOffersToBuildMissingStatistics() {
    const std::string list = makeCorpus();
    std::remove(path("c.stt").c_str());
    test::ScriptedInteraction ui;
    StatisticsCommand command(ui, tags_, list, nullptr);
    command.setSelectionStep([&] {
      return std::optional<std::vector<stats::RunEntry>>({{stats::RunEntry::Folder, k("가")},
                                                         {stats::RunEntry::Document, path("a.id")},
                                                         {stats::RunEntry::Folder, k("나")},
                                                         {stats::RunEntry::Document, path("c.id")}});
    });
    command.setRangeStep([&] { return std::optional<RangeChoice>(RangeChoice{1, path("out.txt"), {}}); });
    command.setPresentationStep([](int) { return std::optional<Presentation>(Presentation{"11010001100", "", false, false, false}); });
    QStringList opened;
    command.setReportOpener([&](const QString& p, bool) { opened << p; });

    // Declined: nothing is built and no report written.
    command.run();
    QCOMPARE(ui.questions.size(), 1);
    QVERIFY(ui.questions.front().contains(QString::fromStdString(path("c.id"))));
    QVERIFY(!fileExists(path("out.txt")));
    QVERIFY(opened.isEmpty());

    ui.yesNoAnswers.push_back(true);
    command.run();
    QVERIFY(fileExists(path("c.stt")));
    QCOMPARE(opened, QStringList{QString::fromStdString(path("out.txt"))});
    const std::string report = test::readFile(path("out.txt"));
    QVERIFY(report.find(k("서울")) != std::string::npos);
    QVERIFY(report.find(k("사과")) != std::string::npos);
  }

  void listingWritesEachPickedDocumentAndNamesAMissingStatisticsFile() {
    const std::string list = makeCorpus();
    test::ScriptedInteraction ui;
    StatisticsListingDialog dialog(ui, 2, tags_, list);
    QCOMPARE(dialog.windowTitle(), QString("전체통계 & 어휘 + 품사표지 "));
    QCOMPARE(dialog.outputField()->text(), QString("stat.txt"));
    dialog.outputField()->setText(QString::fromStdString(path("stat.txt")));
    QStringList opened;
    dialog.setReportOpener([&](const QString& p) { opened << p; });
    dialog.lines()->item(1)->setSelected(true);  // a.id
    dialog.lines()->item(4)->setSelected(true);  // c.id
    dialog.makeListings();
    QCOMPARE(opened.size(), 1);
    const std::string text = test::readFile(path("stat.txt"));
    QVERIFY(text.find(path("a.id")) < text.find(path("c.id")));

    std::remove(path("c.stt").c_str());
    dialog.makeListings();
    QCOMPARE(ui.messages.size(), 1);
    QVERIFY(ui.messages.front().startsWith("통계용 파일을 먼저 만드십시요 ["));
    QCOMPARE(opened.size(), 1);
  }
};

QTEST_MAIN(StatisticsDialogsTest)
#include "statistics_dialogs_test.moc"
