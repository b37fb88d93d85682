#include "app/analysis_editor.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "app/tag_combo_box.h"
#include "stats/tag_manager.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"

namespace selvanor::test {

class AnalysisEditorTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ScratchDir> dir_;
  TagManager tags_;

  static AnalysisRecord record(const QString& analysis) {
    return {"ABC0000001000", k("먹었다"), k(analysis.toStdString())};
  }
  // "형1/NNG + 형2/NNG + ...": morphemes `from` to `to`.
  static QString morphemes(int to, int from = 1) {
    QStringList list;
    for (int i = from; i <= to; ++i) list << QStringLiteral("형%1/NNG").arg(i);
    return list.join(QStringLiteral(" + "));
  }
  // Clicks 적용; the rebuilt analysis in UTF-8, or "<refused>" when the dialog stayed open.
  static QString apply(AnalysisEditor& editor) {
    QSignalSpy accepted(&editor, &QDialog::accepted);
    editor.applyButton()->click();
    if (accepted.count() != 1) return QStringLiteral("<refused>");
    return QString::fromStdString(u(editor.result().analysis));
  }

 private slots:
  void initTestCase() {
    dir_ = std::make_unique<ScratchDir>();
    writeFile(dir_->file("tag.txt"),
              k("#1 체언\n#2 일반명사/NNG\n#2 고유명사/NNP\n#1 용언\n#2 동사/VV\n"
                "#1 관계언\n#2 목적격조사/JKO\n#1 의존형태\n#2 선어말어미/EP\n#2 종결어미/EF\n"
                "#1 기타\n#2 분석불능/NA\n"));
    QVERIFY(tags_.Load(dir_->file("tag.txt")));
  }

  void rebuildsAnalysis_data() {
    QTest::addColumn<QString>("analysis");
    QTest::addColumn<QString>("rebuilt");
    QTest::addColumn<int>("rows");
    const QString plain = QStringLiteral("먹/VV + 었/EP + 다/EF");
    QTest::newRow("plain") << plain << plain << 15;
    const QString marked = QStringLiteral("사과*/NNG + 를&/JKO + 가#/NA + 나@/NA + 다%/NA");
    QTest::newRow("markers") << marked << marked << 15;
    QTest::newRow("unknown tag kept") << QStringLiteral("밥/ZZZ") << QStringLiteral("밥/ZZZ") << 15;
    QTest::newRow("joins normalised")
        << QStringLiteral("먹/vv+었/EP") << QStringLiteral("먹/VV + 었/EP") << 15;
    QTest::newRow("16 morphemes") << morphemes(16) << morphemes(16) << 16;
    QTest::newRow("40 morphemes") << morphemes(40) << morphemes(40) << 40;
    QTest::newRow("empty") << QString() << QString() << 15;
  }
  void rebuildsAnalysis() {
    QFETCH(QString, analysis);
    ScriptedInteraction ui;
    AnalysisEditor editor(record(analysis), &tags_, ui);
    QTEST(editor.rowCount(), "rows");
    QTEST(apply(editor), "rebuilt");
    QCOMPARE(editor.result().serial, std::string("ABC0000001000"));
    QCOMPARE(editor.result().word, k("먹었다"));
    QVERIFY(ui.messages.isEmpty());
  }

  void rowsShowMorphemesAndApplyBoxEnablesThem() {
    ScriptedInteraction ui;
    AnalysisEditor editor(record(QStringLiteral("사과*/NNG + 를/ZZZ")), &tags_, ui);
    QCOMPARE(editor.row(0).text, QStringLiteral("사과"));
    QCOMPARE(editor.markerBox(0)->currentText(), QStringLiteral("*"));
    QVERIFY(editor.markerBox(0)->currentIndex() >= 0);
    QCOMPARE(editor.tagBox(0)->currentText(), QStringLiteral("NNG"));
    QVERIFY(editor.tagBox(0)->currentIndex() >= 0);
    QCOMPARE(editor.markerBox(1)->currentIndex(), -1);  // no marker
    QCOMPARE(editor.row(1).marker, QString());
    QCOMPARE(editor.tagBox(1)->currentIndex(), -1);  // unknown tag: shown, not selected
    QCOMPARE(editor.row(1).tag, QStringLiteral("ZZZ"));
    QVERIFY(!editor.row(2).applied && !editor.textField(2)->isEnabled() &&
            !editor.tagBox(2)->isEnabled());

    editor.applyBox(0)->setChecked(false);
    QVERIFY(!editor.textField(0)->isEnabled() && !editor.markerBox(0)->isEnabled());
    editor.applyBox(2)->setChecked(true);
    QVERIFY(editor.textField(2)->isEnabled() && editor.tagBox(2)->isEnabled());
  }

  void uncheckedRowsAreLeftOut_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("rebuilt");
    QTest::newRow("first row: leading join") << 0 << QStringLiteral(" + 었/EP + 다/EF");
    QTest::newRow("middle row") << 1 << QStringLiteral("먹/VV + 다/EF");
    QTest::newRow("last row") << 2 << QStringLiteral("먹/VV + 었/EP");
  }
  void uncheckedRowsAreLeftOut() {
    ScriptedInteraction ui;
    AnalysisEditor editor(record(QStringLiteral("먹/VV + 었/EP + 다/EF")), &tags_, ui);
    QFETCH(int, row);
    editor.applyBox(row)->setChecked(false);
    QTEST(apply(editor), "rebuilt");
  }

  void plusAndMinusShiftRows_data() {
    QTest::addColumn<int>("morphemes");
    QTest::addColumn<QString>("presses");  // "+k" / "-k", blank-separated
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("rebuilt");
    const QString three = QStringLiteral("형1/NNG + / + 형2/NNG + 형3/NNG");
    QTest::newRow("+ inserts a checked empty row") << 3 << "+1" << 15 << three;
    QTest::newRow("- closes up") << 3 << "-1" << 15 << QStringLiteral("형1/NNG + 형3/NNG");
    QTest::newRow("+ then - restores") << 3 << "+1 -1" << 15 << morphemes(3);
    QTest::newRow("+ on a full editor adds a row") << 15 << "+0" << 16 << "/ + " + morphemes(15);
    QTest::newRow("+ on the 15th row keeps it")
        << 15 << "+14" << 16 << morphemes(14) + QStringLiteral(" + / + 형15/NNG");
    QTest::newRow("- drops the extra row") << 16 << "-15" << 15 << morphemes(15);
    QTest::newRow("- never below 15 rows") << 15 << "-0 -0" << 15 << morphemes(15, 3);
  }
  void plusAndMinusShiftRows() {
    ScriptedInteraction ui;
    QFETCH(int, morphemes);
    QFETCH(QString, presses);
    AnalysisEditor editor(record(AnalysisEditorTest::morphemes(morphemes)), &tags_, ui);
    for (const QString& press : presses.split(QLatin1Char(' '))) {
      const int k = press.mid(1).toInt();
      press.startsWith(QLatin1Char('+')) ? editor.pressPlus(k) : editor.pressMinus(k);
    }
    QTEST(editor.rowCount(), "rows");
    const auto last = editor.row(editor.rowCount() - 1);
    // Closing up a full editor leaves an empty, unchecked last row.
    if (presses.startsWith(QLatin1Char('-')) && morphemes <= AnalysisEditor::kMinRows) {
      QVERIFY(!last.applied && last.text.isEmpty());
    }
    QTEST(apply(editor), "rebuilt");
  }

  void tagListCompletesTypedText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("backspaces");
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");
    QTest::newRow("NN") << "NN" << 0 << ""
                        << "NNG"
                        << "G";
    QTest::newRow("any case") << "nn" << 0 << ""
                              << "NNG"
                              << "G";
    QTest::newRow("first entry wins") << "N" << 0 << ""
                                      << "NNG"
                                      << "NG";
    QTest::newRow("whole entry") << "NA" << 0 << ""
                                 << "NA"
                                 << "";
    QTest::newRow("no entry: as typed") << "NNX" << 0 << ""
                                        << "NNX"
                                        << "";
    QTest::newRow("backspace never completes") << "NN" << 1 << ""
                                               << "NN"
                                               << "";
    QTest::newRow("typing on completes again") << "NN" << 1 << "P"
                                               << "NNP"
                                               << "";
  }
  void tagListCompletesTypedText() {
    ScriptedInteraction ui;
    AnalysisEditor editor(record(QString()), &tags_, ui);
    editor.applyBox(0)->setChecked(true);
    TagComboBox* box = editor.tagBox(0);
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(QString, then);
    QTest::keyClicks(box, typed);
    for (int i = 0; i < backspaces; ++i) QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, then);
    QTEST(box->currentText(), "text");
    QTEST(box->lineEdit()->selectedText(), "selected");
    QCOMPARE(apply(editor), QString("/" + box->currentText()));  // what is seen is what is stored
  }

  void tagListKeepsInputMethodOff() {
    ScriptedInteraction ui;
    AnalysisEditor editor(record(QStringLiteral("먹/VV")), &tags_, ui);
    editor.show();
    editor.tagBox(0)->setFocus();
    QVERIFY(!editor.tagBox(0)->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(!editor.tagBox(0)->lineEdit()->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(editor.textField(0)->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(editor.wordField()->testAttribute(Qt::WA_InputMethodEnabled));
  }

  void withoutTagSetRowsStayEmptyAndNothingIsStored() {
    ScriptedInteraction ui;
    AnalysisEditor editor(record(QStringLiteral("먹/VV + 었/EP")), nullptr, ui);
    QCOMPARE(ui.messages, QStringList{QStringLiteral("TagManager가 설정되지 않았습니다.")});
    QCOMPARE(editor.rowCount(), 15);
    for (int i = 0; i < editor.rowCount(); ++i)
      QVERIFY(editor.row(i).text.isEmpty() && !editor.row(i).applied);
    editor.accept();
    QCOMPARE(editor.QDialog::result(), int(QDialog::Rejected));
    QCOMPARE(editor.result(), record(QStringLiteral("먹/VV + 었/EP")));
  }

  void refusesBadFieldsAndKeepsInput_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("message");
    const QString bullet = QStringLiteral("[•]");
    QTest::newRow("word") << "word" << QStringLiteral("먹었•다") << bullet;
    QTest::newRow("serial") << "serial" << QStringLiteral("ABC•") << bullet;
    QTest::newRow("morpheme") << "text" << QStringLiteral("먹•") << bullet;
    QTest::newRow("tag") << "tag" << QStringLiteral("V•") << bullet;
    QTest::newRow("empty serial") << "serial" << QString() << QStringLiteral("일련번호는");
    QTest::newRow("word with a blank")
        << "word" << QStringLiteral("먹 었다") << QStringLiteral("원문어절은");
  }
  void refusesBadFieldsAndKeepsInput() {
    QFETCH(QString, field);
    QFETCH(QString, input);
    ScriptedInteraction ui;
    const AnalysisRecord original = record(QStringLiteral("먹/VV + 었/EP + 다/EF"));
    AnalysisEditor editor(original, &tags_, ui);
    const auto shown = [&] {
      if (field == "word") return editor.wordField()->text();
      if (field == "serial") return editor.serialField()->text();
      return field == "text" ? editor.row(0).text : editor.row(0).tag;
    };
    if (field == "word") editor.wordField()->setText(input);
    if (field == "serial") editor.serialField()->setText(input);
    if (field == "text") editor.textField(0)->setText(input);
    if (field == "tag") editor.tagBox(0)->setEditText(input);

    QCOMPARE(apply(editor), QStringLiteral("<refused>"));
    QCOMPARE(ui.messages.size(), 1);
    QFETCH(QString, message);
    QVERIFY2(ui.messages[0].contains(message), qPrintable(ui.messages[0]));
    QCOMPARE(shown(), input);
    QCOMPARE(editor.result(), original);

    // The same text in a row that is switched off is not stored, so not refused.
    if (field == "text" || field == "tag") {
      editor.applyBox(0)->setChecked(false);
      QCOMPARE(apply(editor), QStringLiteral(" + 었/EP + 다/EF"));
    }
  }
};

}  // namespace selvanor::test

QTEST_MAIN(selvanor::test::AnalysisEditorTest)
#include "analysis_editor_test.moc"
