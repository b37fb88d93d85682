// The reference page "분석 참조" on its own: the look-up and how each kind of file is
// answered, the quiet refresh when its file is handed again, the layout that follows the bar.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/reference_page.h"
#include "facade/dbwrap.h"
#include "store/engine/storage.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"

using namespace selvanor;
using selvanor::test::k;

class ReferencePageTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<CRefPage> page;

  // The reference file of a document whose words are 나는, 밥을, 나는 (serials s1 s2 s3),
  // each stored at the serial order the build sees.
  QString builtReference() {
    const std::string doc = dir->file("doc.id");
    test::writeDocument(doc, {{"s3", k("나는"), k("나/NP + 는/JX")},
                              {"s1", k("나는"), k("날/VV + 는/ETM")},
                              {"s2", k("밥을"), k("밥/NNG + 을/JKO")}});
    DBWrap db;
    if (db.makeWonmunDB(doc) != result::kOk) return {};
    return QString::fromStdString(doc + "x");
  }
  QStringList rows() const {
    QStringList out;
    for (int r = 0; r < page->list()->rowCount(); ++r) {
      out << page->list()->item(r, 0)->text() + "|" + page->list()->item(r, 1)->text() + "|" +
                 page->list()->item(r, 2)->text();
    }
    return out;
  }
  void lookUp(const QString& word) {
    page->wordField()->setText(word);
    page->search();
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = std::make_unique<test::ScriptedInteraction>();
    page = std::make_unique<CRefPage>(*ui);
    new QAbstractItemModelTester(page->list()->model(),
                                 QAbstractItemModelTester::FailureReportingMode::QtTest, page.get());
  }
  void cleanup() {
    page.reset();
    ui.reset();
    dir.reset();
  }

  void columnsAndLayout() {
    QCOMPARE(page->list()->columnCount(), 3);
    QCOMPARE(page->list()->horizontalHeaderItem(0)->text(), QString("일련번호"));
    QCOMPARE(page->list()->horizontalHeaderItem(1)->text(), QString("원문어절"));
    QCOMPARE(page->list()->horizontalHeaderItem(2)->text(), QString("분석결과"));
    QVERIFY(page->list()->showGrid());
    QCOMPARE(page->list()->selectionBehavior(), QAbstractItemView::SelectRows);
    auto* button = page->findChild<QPushButton*>();
    QCOMPARE(button->text(), QString("검색"));
    // The field and the list grow with the bar; the list fills the page below the field.
    page->resize(600, 300);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    const int narrowField = page->wordField()->width();
    for (const QSize size : {QSize(600, 300), QSize(1200, 420)}) {
      page->resize(size);
      QApplication::processEvents();
      const QRect list = page->list()->geometry();
      QVERIFY2(list.width() >= size.width() - 10, qPrintable(QString::number(list.width())));
      QVERIFY(list.bottom() >= size.height() - 6);
      QVERIFY(list.top() >= page->wordField()->geometry().bottom());
      QVERIFY(page->wordField()->geometry().right() >= size.width() - 10);
    }
    QVERIFY(page->wordField()->width() > narrowField + 500);
  }

  // Serials and words are shown whole, however long; the analysis takes the rest.
  void columnsFitWhatTheyList() {
    const std::string doc = dir->file("long.id");
    test::writeDocument(doc, {{"GSDTRN10000010", k("시장은"), k("시장/NNG + 은/JX")},
                              {"GSDTRN10000120", k("시장은"), k("시장02/NNG + 은/JX")}});
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(doc), result::kOk);
    page->resize(700, 300);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    page->setPath(QString::fromStdString(doc + "x"));
    lookUp("시장은");
    QCOMPARE(page->list()->rowCount(), 2);
    const QFontMetrics metrics(page->list()->font());
    QVERIFY(page->list()->columnWidth(0) > metrics.horizontalAdvance("GSDTRN10000120"));
    QVERIFY(page->list()->columnWidth(1) > metrics.horizontalAdvance("시장은"));
    const int total = page->list()->columnWidth(0) + page->list()->columnWidth(1) + page->list()->columnWidth(2);
    QCOMPARE(total, page->list()->viewport()->width());
  }

  void itemsInStoredOrderAndEnterSearches() {
    page->setPath(builtReference());
    page->wordField()->setText("나는");
    QTest::keyClick(page->wordField(), Qt::Key_Return);
    QCOMPARE(rows(), QStringList({"s1|나는|날/VV + 는/ETM", "s3|나는|나/NP + 는/JX"}));
    QVERIFY(ui->messages.isEmpty());
  }

  // What each look-up shows in the list and says, by kind of file and word.
  void answers_data() {
    QTest::addColumn<QString>("file");  // "built", "empty", "missing", "none"
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<QString>("said");  // message; "<path>" stands for the file's path
    QTest::newRow("found") << "built" << "밥을" << 1 << "";
    QTest::newRow("absent word") << "built" << "국을" << 0 << "";
    QTest::newRow("proper prefix") << "built" << "나" << 0 << "";
    QTest::newRow("empty word") << "built" << "" << 0 << "";
    QTest::newRow("empty file") << "empty" << "나는" << 0 << "참조 파일이 비어 있습니다.";
    QTest::newRow("missing file") << "missing" << "나는" << 0 << "참조 파일을 열 수 없습니다. [<path>]";
    QTest::newRow("not a database") << "text" << "나는" << 0 << "참조 파일을 열 수 없습니다. [<path>]";
    QTest::newRow("no document") << "none" << "나는" << 0 << "문헌을 열어야 작업을 할 수 있습니다.";
    QTest::newRow("not CP949") << "built" << "나는\u0e01" << 0 << "CP949";
  }
  void answers() {
    QFETCH(QString, file);
    QFETCH(QString, word);
    QFETCH(int, rowCount);
    QFETCH(QString, said);
    QString path;
    if (file == "built") path = builtReference();
    if (file == "empty") {
      path = QString::fromStdString(dir->file("empty.idx"));
      Storage s;
      QVERIFY(s.open(path.toStdString()));
    }
    if (file == "missing") path = QString::fromStdString(dir->file("missing.idx"));
    if (file == "text") {
      path = QString::fromStdString(dir->file("text.idx"));
      test::writeFile(path.toStdString(), "not a database\n");
    }
    page->setPath(path);
    lookUp(word);
    QCOMPARE(page->list()->rowCount(), rowCount);
    if (said.isEmpty()) {
      QCOMPARE(ui->messages, QStringList());
    } else {
      QCOMPARE(ui->messages.size(), 1);
      if (said == "CP949") QVERIFY2(ui->messages[0].contains(QChar(0x0e01)), qPrintable(ui->messages[0]));
      else QCOMPARE(ui->messages[0], QString(said).replace("<path>", path));
    }
  }

  void handingThePathAgainRefreshesQuietly() {
    const QString path = builtReference();
    page->setPath(path);
    lookUp("밥을");
    QCOMPARE(page->list()->rowCount(), 1);
    // Another document's file, which is missing: the old records go, nothing is said.
    page->setPath(QString::fromStdString(dir->file("other.idx")));
    QCOMPARE(page->list()->rowCount(), 0);
    // The file is rebuilt with another record of the word and handed again.
    test::writeDocument(dir->file("doc.id"), {{"s4", k("밥을"), k("밥/NNG + 을/JKO")}});
    DBWrap db;
    QCOMPARE(db.makeWonmunDB(dir->file("doc.id")), result::kOk);
    page->setPath(path);
    QCOMPARE(rows(), QStringList({"s2|밥을|밥/NNG + 을/JKO", "s4|밥을|밥/NNG + 을/JKO"}));
    // Closing the document empties the list.
    page->setPath(QString());
    QCOMPARE(page->list()->rowCount(), 0);
    QCOMPARE(page->path(), QString());
    QVERIFY(ui->messages.isEmpty());
  }
};

QTEST_MAIN(ReferencePageTest)
#include "reference_page_test.moc"
