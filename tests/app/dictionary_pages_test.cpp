// The homonym page and the unregistered-word page of the dictionary bar, against real
// dictionary files in a scratch folder, with the entry dialog scripted.
#include <QAbstractItemModelTester>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "app/homonym_page.h"
#include "app/unregistered_page.h"
#include "facade/dbwrap.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/unregistered_dictionary.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"

using namespace selvanor;
using selvanor::test::k;
using Entry = DBWrap::DongumEntry;
using Word = DBWrap::MideungjaeEntry;

namespace {

const QString kUnencodable = QStringLiteral("입력한 글자 [ก]는 CP949로 저장할 수 없습니다. 이 글자를 빼고 다시 입력해 주세요.");

Entry sense(const char* headword, const char* numbered, const char* hanja, const char* meaning) {
  return {k(headword), k(numbered), k(hanja), k(meaning)};
}

std::vector<std::string> numberedForms(const std::string& dic, const char* headword) {
  DBWrap db;
  std::vector<Entry> entries;
  (void)db.getDongum(dic, k(headword), entries);
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(test::u(e.numberedForm));
  return out;
}

std::vector<std::pair<std::string, std::string>> allWords(const std::string& dic) {
  DBWrap db;
  std::vector<Word> entries;
  (void)db.FindMideungjae(dic, "", entries);
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& e : entries) out.emplace_back(test::u(e.word), test::u(e.note));
  return out;
}

template <typename Page>
void selectRow(Page& page, int row) {
  page.list()->selectionModel()->setCurrentIndex(
      page.model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QString cell(const QAbstractItemModel& model, int row, int column) {
  return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

}  // namespace

class DictionaryPagesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<CDicPage> homonym;
  std::unique_ptr<CMiPage> words;
  std::string dic, mdj;
  // What the scripted entry dialog was opened with, and what it answers (nullopt: 취 소).
  std::vector<Entry> senseShown;
  std::optional<Entry> senseAnswer;
  std::vector<Word> wordShown;
  std::optional<Word> wordAnswer;

  void writeSenses(const std::vector<Entry>& entries) {
    DBWrap db;
    for (const auto& e : entries) QCOMPARE(db.addDongumRec(dic, e), result::kOk);
  }
  void writeWords(const std::vector<std::pair<const char*, const char*>>& entries) {
    DBWrap db;
    for (const auto& [w, n] : entries) QCOMPARE(db.addMideungjae(mdj, k(w), k(n), false), result::kOk);
  }
  void searchHomonym(const char* text) {
    homonym->searchField()->setText(QString::fromUtf8(text));
    homonym->search();
  }
  void searchWords(const char* text) {
    words->searchField()->setText(QString::fromUtf8(text));
    words->search();
  }
  QStringList homonymColumn(int column) const {
    QStringList out;
    for (int r = 0; r < homonym->model()->rowCount(); ++r) out << cell(*homonym->model(), r, column);
    return out;
  }
  QStringList wordColumn(int column) const {
    QStringList out;
    for (int r = 0; r < words->model()->rowCount(); ++r) out << cell(*words->model(), r, column);
    return out;
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = std::make_unique<test::ScriptedInteraction>();
    homonym = std::make_unique<CDicPage>(*ui);
    words = std::make_unique<CMiPage>(*ui);
    dic = dir->file("homonym.dic");
    mdj = dir->file("words.mdj");
    senseShown.clear();
    senseAnswer.reset();
    wordShown.clear();
    wordAnswer.reset();
    homonym->setEntryPrompt([this](const Entry& initial) {
      senseShown.push_back(initial);
      return senseAnswer;
    });
    words->setEntryPrompt([this](const Word& initial) {
      wordShown.push_back(initial);
      return wordAnswer;
    });
    new QAbstractItemModelTester(homonym->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 homonym.get());
    new QAbstractItemModelTester(words->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                 words.get());
  }
  void cleanup() {
    homonym.reset();
    words.reset();
    ui.reset();
    dir.reset();
  }

  // ---- homonym page ------------------------------------------------------------------

  void homonymWithoutDictionaryAsksForIt() {
    senseAnswer = sense("가", "가01", "家", "집");
    homonym->search();
    homonym->addEntry();
    homonym->modifyEntry();
    homonym->deleteEntry();
    const QString ask = QString::fromUtf8(homonym::msg::kSetDictionary);
    QCOMPARE(ui->messages, QStringList({ask, ask, ask, ask}));
    QVERIFY(senseShown.empty());
  }

  void homonymSearchListsSensesInStoredOrder() {
    writeSenses({sense("사과", "사과01", "沙果", "과일의\r\n하나"), sense("사과", "사과02", " ", "사과하는 일"),
                 sense("배", "배01", " ", "탈것")});
    homonym->setPath(QString::fromStdString(dic));
    searchHomonym("사과");
    QCOMPARE(homonymColumn(0), QStringList({"사과", "사과"}));
    QCOMPARE(homonymColumn(1), QStringList({"사과01", "사과02"}));
    QCOMPARE(homonymColumn(2), QStringList({"沙果", " "}));
    QCOMPARE(homonymColumn(3), QStringList({"과일의  하나", "사과하는 일"}));
    QCOMPARE(homonym->model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QString("의미"));

    searchHomonym("사");  // no prefix matching
    QCOMPARE(homonym->model()->rowCount(), 0);
    searchHomonym("");
    QCOMPARE(homonym->model()->rowCount(), 0);
    QVERIFY(ui->messages.isEmpty());
  }

  void homonymSearchOfMissingOrForeignFileSaysSo() {
    homonym->setPath(QString::fromStdString(dic));
    searchHomonym("사과");
    test::writeFile(dir->file("text.dic"), "not a dictionary\n");
    homonym->setPath(QString::fromStdString(dir->file("text.dic")));
    searchHomonym("사과");
    const QString cannot = QString::fromUtf8(homonym::msg::kCannotOpen);
    QCOMPARE(ui->messages, QStringList({cannot + " [" + QString::fromStdString(dic) + "]",
                                        cannot + " [" + QString::fromStdString(dir->file("text.dic")) + "]"}));
    QVERIFY(!QFile::exists(QString::fromStdString(dic)));  // a search creates nothing
  }

  void homonymSearchTextCp949CannotHoldIsRefused() {
    writeSenses({sense("가", "가01", " ", "뜻")});
    homonym->setPath(QString::fromStdString(dic));
    searchHomonym("가");
    searchHomonym("가ก");
    QCOMPARE(ui->messages, QStringList({kUnencodable}));
    QCOMPARE(homonym->model()->rowCount(), 1);
  }

  void homonymAddCreatesTheDictionaryAndListsAgain() {
    homonym->setPath(QString::fromStdString(dic));
    homonym->searchField()->setText(QStringLiteral("사과"));
    senseAnswer = sense("사과", "사과01", "沙果", "과일");
    homonym->addEntry();
    senseAnswer = sense("사과", "사과01", " ", "같은 음번호");  // dropped: the first stays
    homonym->addEntry();
    QVERIFY(ui->messages.isEmpty());
    QCOMPARE(senseShown.size(), std::size_t(2));
    QVERIFY(senseShown[0].headword.empty() && senseShown[0].meaning.empty());
    QCOMPARE(homonymColumn(3), QStringList({"과일"}));

    senseAnswer.reset();  // 취 소
    homonym->addEntry();
    QCOMPARE(numberedForms(dic, "사과"), (std::vector<std::string>{"사과01"}));
  }

  void homonymModifyMovesTheSenseAndKeepsItsLineBreaks() {
    writeSenses({sense("사과", "사과01", "沙果", "과일의\r\n하나"), sense("사과", "사과02", " ", "사과하는 일"),
                 sense("사과", "사과03", " ", "셋째")});
    homonym->setPath(QString::fromStdString(dic));
    searchHomonym("사과");
    selectRow(*homonym, 0);
    Entry edited = sense("사과", "사과01", "沙果", "과일의\r\n하나, 고친 뜻");
    senseAnswer = edited;
    homonym->modifyEntry();
    QCOMPARE(senseShown.size(), std::size_t(1));
    QCOMPARE(test::u(senseShown[0].meaning), std::string("과일의\r\n하나"));  // as stored, not as listed
    QCOMPARE(homonymColumn(1), QStringList({"사과02", "사과03", "사과01"}));
    DBWrap db;
    std::vector<Entry> stored;
    QCOMPARE(db.getDongum(dic, k("사과"), stored), result::kOk);
    QCOMPARE(test::u(stored[2].meaning), std::string("과일의\r\n하나, 고친 뜻"));

    // Moving to another head word.
    selectRow(*homonym, 0);
    senseAnswer = sense("사죄", "사죄01", " ", "사과하는 일");
    homonym->modifyEntry();
    QCOMPARE(numberedForms(dic, "사과"), (std::vector<std::string>{"사과03", "사과01"}));
    QCOMPARE(numberedForms(dic, "사죄"), (std::vector<std::string>{"사죄01"}));
    QVERIFY(ui->messages.isEmpty());
  }

  void homonymModifyOntoAnotherSenseLosesNothing() {
    writeSenses({sense("사과", "사과01", " ", "하나"), sense("사과", "사과02", " ", "둘")});
    homonym->setPath(QString::fromStdString(dic));
    searchHomonym("사과");
    selectRow(*homonym, 1);
    senseAnswer = sense("사과", "사과01", " ", "둘을 하나로");
    homonym->modifyEntry();
    QCOMPARE(ui->messages, QStringList({QString::fromUtf8(homonym::msg::kDuplicate)}));
    QCOMPARE(numberedForms(dic, "사과"), (std::vector<std::string>{"사과01", "사과02"}));
    QCOMPARE(homonymColumn(3), QStringList({"하나", "둘"}));
  }

  void homonymModifyAndDeleteNeedASelectedRow() {
    writeSenses({sense("가", "가01", " ", "뜻")});
    homonym->setPath(QString::fromStdString(dic));
    searchHomonym("가");
    homonym->list()->selectionModel()->clearSelection();
    homonym->modifyEntry();
    homonym->deleteEntry();
    QCOMPARE(ui->messages, QStringList({QString::fromUtf8(homonym::msg::kSelectToModify),
                                        QString::fromUtf8(homonym::msg::kSelectToDelete)}));
    QVERIFY(senseShown.empty());
    QCOMPARE(numberedForms(dic, "가"), (std::vector<std::string>{"가01"}));
  }

  void homonymDeleteKeepsTheOtherSensesInOrder() {
    writeSenses({sense("가", "가01", " ", "하나"), sense("가", "가02", " ", "둘"), sense("가", "가03", " ", "셋"),
                 sense("나", "나01", " ", "뜻")});
    homonym->setPath(QString::fromStdString(dic));
    searchHomonym("가");
    selectRow(*homonym, 1);
    homonym->deleteEntry();
    QCOMPARE(homonymColumn(1), QStringList({"가01", "가03"}));

    searchHomonym("나");  // the only sense: the head word goes
    selectRow(*homonym, 0);
    homonym->deleteEntry();
    QCOMPARE(homonym->model()->rowCount(), 0);
    DBWrap db;
    std::vector<Entry> none;
    QCOMPARE(db.getDongum(dic, k("나"), none), result::kNothingToRead);
    QVERIFY(ui->messages.isEmpty());
  }

  void homonymSearchSeesADictionaryRebuiltElsewhere() {
    writeSenses({sense("가", "가01", " ", "옛 뜻")});
    homonym->setPath(QString::fromStdString(dic));
    searchHomonym("가");
    QCOMPARE(homonymColumn(3), QStringList({"옛 뜻"}));
    test::writeFile(dir->file("homonym.txt"), k("#1가#2가01#5새 뜻\n#1가#2가02#5또 다른 뜻\n"));
    DBWrap other;
    QCOMPARE(other.makeDongumDB(dir->file("homonym.txt"), dic), result::kOk);
    homonym->search();
    QCOMPARE(homonymColumn(3), QStringList({"새 뜻", "또 다른 뜻"}));
  }

  void homonymNewPathEmptiesTheList() {
    writeSenses({sense("가", "가01", " ", "뜻")});
    homonym->setPath(QString::fromStdString(dic));
    searchHomonym("가");
    QCOMPARE(homonym->model()->rowCount(), 1);
    homonym->setPath(QString::fromStdString(dir->file("other.dic")));
    QCOMPARE(homonym->path(), QString::fromStdString(dir->file("other.dic")));
    QCOMPARE(homonym->model()->rowCount(), 0);
  }

  // ---- unregistered-word page --------------------------------------------------------

  void wordsWithoutDictionaryAsksForIt() {
    wordAnswer = Word{k("가"), k("뜻")};
    words->search();
    words->addEntry();
    words->modifyEntry();
    words->deleteEntry();
    const QString ask = QString::fromUtf8(unregistered::msg::kSetDictionary);
    QCOMPARE(ui->messages, QStringList({ask, ask, ask, ask}));
    QVERIFY(wordShown.empty());
  }

  void wordsSearchIsAPrefixSearch_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("found");
    // Key order is byte order: 갂 (0x81 0x41) comes before 가 (0xB0 0xA1).
    QTest::newRow("empty lists all") << "" << QStringList({"갂", "가", "가게", "가다", "나가"});
    QTest::newRow("가") << "가" << QStringList({"가", "가게", "가다"});
    QTest::newRow("가게") << "가게" << QStringList({"가게"});
    QTest::newRow("no match") << "다" << QStringList();
  }
  void wordsSearchIsAPrefixSearch() {
    QFETCH(QString, prefix);
    QFETCH(QStringList, found);
    writeWords({{"나가", "넷"}, {"가다", "셋"}, {"가", "하나"}, {"가게", "둘"}, {"갂", "옛 글자"}});
    words->setPath(QString::fromStdString(mdj));
    words->searchField()->setText(prefix);
    words->search();
    QCOMPARE(wordColumn(0), found);
    QVERIFY(ui->messages.isEmpty());
  }

  void wordsSearchOfMissingFileSaysSo() {
    words->setPath(QString::fromStdString(mdj));
    searchWords("");
    QCOMPARE(ui->messages, QStringList({QString::fromUtf8(unregistered::msg::kCannotOpen) + " [" +
                                        QString::fromStdString(mdj) + "]"}));
    QVERIFY(!QFile::exists(QString::fromStdString(mdj)));
  }

  void wordsNoteIsListedAsStored() {
    writeWords({{"가", "첫 줄\r\n둘째 줄"}});
    words->setPath(QString::fromStdString(mdj));
    searchWords("가");
    QCOMPARE(wordColumn(1), QStringList({"첫 줄\r\n둘째 줄"}));
    QCOMPARE(words->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("미등재어"));
  }

  // Both pages: the lists fill the page, the first columns are as wide as what they list
  // and the last one takes the rest.
  void listsFillThePageAndFitTheirColumns() {
    writeSenses({sense("시장", "시장01", "市場", "물건을 사고파는 곳"), sense("시장", "시장02", "市長", "시의 우두머리"),
                 sense("시장", "시장03", " ", "배고픔"), sense("시장", "시장04", "柴場", "땔나무를 파는 곳")});
    writeWords({{"아주아주긴미등재어낱말입니다", "비고"}});
    homonym->setPath(QString::fromStdString(dic));
    words->setPath(QString::fromStdString(mdj));
    for (QWidget* page : {static_cast<QWidget*>(homonym.get()), static_cast<QWidget*>(words.get())}) {
      page->resize(900, 320);
      page->show();
      QVERIFY(QTest::qWaitForWindowExposed(page));
    }
    searchHomonym("시장");
    searchWords("아주");
    for (QTableView* list : {homonym->findChild<QTableView*>(), words->findChild<QTableView*>()}) {
      QVERIFY(list->width() >= 900 - 10);
      const QFontMetrics metrics(list->font());
      const int columns = list->model()->columnCount();
      int total = 0;
      for (int c = 0; c < columns; ++c) {
        total += list->columnWidth(c);
        if (c + 1 == columns) break;
        for (int r = 0; r < list->model()->rowCount(); ++r) {
          const QString text = list->model()->index(r, c).data().toString();
          QVERIFY2(list->columnWidth(c) > metrics.horizontalAdvance(text), qPrintable(text));
        }
      }
      QCOMPARE(total, list->viewport()->width());
    }
    // Four senses and room to spare at the bar's default height.
    QCOMPARE(homonym->model()->rowCount(), 4);
  }

  void wordsAddCreatesTheFileAndKeepsAnExistingNote() {
    words->setPath(QString::fromStdString(mdj));
    wordAnswer = Word{k("가게"), k("상점")};
    words->addEntry();
    QVERIFY(QFile::exists(QString::fromStdString(mdj)));
    wordAnswer = Word{k("가게"), k("다른 뜻")};
    words->addEntry();
    QVERIFY(ui->messages.isEmpty());
    QCOMPARE(allWords(mdj), (std::vector<std::pair<std::string, std::string>>{{"가게", "상점"}}));
    QCOMPARE(wordColumn(0), QStringList({"가게"}));  // listed again with the (empty) search text
    QVERIFY(wordShown[0].word.empty() && wordShown[0].note.empty());
  }

  void wordsModify() {
    writeWords({{"가", "하나"}, {"가게", "둘"}, {"나", "셋"}});
    words->setPath(QString::fromStdString(mdj));
    searchWords("");
    selectRow(*words, 1);
    wordAnswer = Word{k("가게"), k("상점")};  // the note only
    words->modifyEntry();
    QCOMPARE(test::u(wordShown.at(0).note), std::string("둘"));
    QCOMPARE(allWords(mdj), (std::vector<std::pair<std::string, std::string>>{
                                {"가", "하나"}, {"가게", "상점"}, {"나", "셋"}}));
    selectRow(*words, 2);
    wordAnswer = Word{k("가"), k("나였던 것")};  // onto another word: it is overwritten
    words->modifyEntry();
    QCOMPARE(allWords(mdj), (std::vector<std::pair<std::string, std::string>>{
                                {"가", "나였던 것"}, {"가게", "상점"}}));
    QCOMPARE(wordColumn(0), QStringList({"가", "가게"}));
    QVERIFY(ui->messages.isEmpty());

    words->list()->selectionModel()->clearSelection();
    words->modifyEntry();
    words->deleteEntry();
    QCOMPARE(ui->messages, QStringList({QString::fromUtf8(unregistered::msg::kSelectToModify),
                                        QString::fromUtf8(unregistered::msg::kSelectToDelete)}));
  }

  void wordsDelete() {
    writeWords({{"가", "하나"}, {"나", "둘"}});
    words->setPath(QString::fromStdString(mdj));
    searchWords("");
    selectRow(*words, 0);
    words->deleteEntry();
    QCOMPARE(wordColumn(0), QStringList({"나"}));
    // The word is gone behind the page's back: no message, nothing else changes.
    DBWrap db;
    QCOMPARE(db.delMideungjae(mdj, k("나")), result::kOk);
    selectRow(*words, 0);
    words->deleteEntry();
    QVERIFY(ui->messages.isEmpty());
    QCOMPARE(words->model()->rowCount(), 0);
  }
};

QTEST_MAIN(DictionaryPagesTest)
#include "dictionary_pages_test.moc"
