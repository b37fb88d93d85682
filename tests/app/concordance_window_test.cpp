// The concordance window through the scripted seam: a query and its faults, sorting,
// export and copy, the query history, collocations and the distribution, and the way to
// and from the grid.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/selvanor_view.h"
#include "stats/tag_manager.h"
#include "support/app_fixture.h"
#include "support/scripted_interaction.h"
#include "support/test_support.h"
#include "ui/concordance_models.h"
#include "ui/concordance_window.h"
#include "ui_base/grid_model.h"

using namespace selvanor;
using selvanor::test::k;

namespace {

QStringList column(QAbstractItemModel* m, int c) {
  QStringList out;
  for (int r = 0; r < m->rowCount(); ++r) out << m->index(r, c).data().toString();
  return out;
}

}  // namespace

class ConcordanceWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::ScratchDir> dir;
  std::unique_ptr<test::ScriptedInteraction> ui;
  std::unique_ptr<QSettings> profile;
  TagManager tags;
  std::vector<std::pair<std::string, std::uint32_t>> shown;

  std::string path(const char* name) const { return dir->file(name); }

  std::unique_ptr<ConcordanceWindow> window() {
    ConcordanceHooks hooks;
    hooks.showRecord = [this](const std::string& d, std::uint32_t r, const std::string&) {
      shown.emplace_back(d, r);
      return QRect(0, 0, 400, 20);
    };
    auto w = std::make_unique<ConcordanceWindow>(*ui, tags, *profile, std::move(hooks));
    for (QAbstractItemModel* m : {static_cast<QAbstractItemModel*>(w->linesModel()),
                                  static_cast<QAbstractItemModel*>(w->collocationModel()),
                                  static_cast<QAbstractItemModel*>(w->distributionModel())}) {
      new QAbstractItemModelTester(m, QAbstractItemModelTester::FailureReportingMode::QtTest, w.get());
    }
    w->setDocuments({path("a.id"), path("b.id")});
    return w;
  }

 private slots:
  void init() {
    dir = std::make_unique<test::ScratchDir>();
    ui = std::make_unique<test::ScriptedInteraction>();
    profile = std::make_unique<QSettings>(QString::fromStdString(path("system.ini")), QSettings::IniFormat);
    shown.clear();
    test::writeDocument(path("a.id"), {{"A1", k("나는"), k("나/NP + 는/JX")},
                                       {"A2", k("밥을"), k("밥/NNG + 을/JKO")},
                                       {"A3", k("먹었다"), k("먹/VV + 었/EP + 다/EF")},
                                       {"A4", k("갂을"), k("갂/NNG + 을/JKO")},
                                       {"A5", k("먹는다"), k("먹/VV + 는다/EF")}});
    test::writeDocument(path("b.id"), {{"B1", k("밥을"), k("밥/NNG + 을/JKO")}, {"B2", k("먹자"), k("먹/VV + 자/EF")}});
  }

  void linesSortsExportCopyAndHistory() {
    auto w = window();
    // Faults: nothing typed, then a malformed query with the cursor put on the fault.
    w->runQuery();
    QCOMPARE(ui->warnings, QStringList({"검색식을 입력해 주세요."}));
    w->setQuery("먹/VV+");
    w->runQuery();
    QCOMPARE(ui->warnings.last(), QString("검색식 오류(6번째 글자): '+' 다음에 형태소가 와야 합니다."));
    QCOMPARE(w->queryBox()->lineEdit()->cursorPosition(), 5);
    w->setQuery("*/체언");  // no tag file loaded: the class is refused
    w->runQuery();
    QVERIFY(ui->warnings.last().contains("태그 파일"));
    QCOMPARE(w->linesModel()->rowCount(), 0);

    w->setQuery("^*/NNG");
    w->runQuery();
    ConcordanceModel* m = w->linesModel();
    QCOMPARE(column(m, ConcordanceModel::kHit), QStringList({"밥을", "갂을", "밥을"}));
    QCOMPARE(column(m, ConcordanceModel::kLeft), QStringList({"나는", "나는 밥을 먹었다", ""}));
    QCOMPARE(m->index(0, ConcordanceModel::kHit).data(Qt::ToolTipRole).toString(), QString("밥/NNG + 을/JKO"));
    QCOMPARE(m->index(0, ConcordanceModel::kLeft).data(Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignRight | Qt::AlignVCenter));
    QVERIFY(w->summary()->text().startsWith("적중 3개"));
    // Sorted by the hit (갂 before 밥 in CP949), ties in document order; back by column.
    w->sortBox()->setCurrentIndex(1);
    QMetaObject::invokeMethod(w->sortBox(), "activated", Q_ARG(int, 1));
    QCOMPARE(column(m, ConcordanceModel::kSerial), QStringList({"A4", "A2", "B1"}));
    m->sort(ConcordanceModel::kDocument, Qt::AscendingOrder);
    QCOMPARE(column(m, ConcordanceModel::kSerial), QStringList({"A2", "A4", "B1"}));

    // Export: cancelled, then written whole as UTF-8.
    w->exportLines();
    ui->fileAnswers.push_back(QString::fromStdString(path("a.id")));  // a document of the search
    w->exportLines();
    QVERIFY(ui->warnings.last().startsWith("찾은 문헌에는 용례를 저장할 수 없습니다"));
    ui->fileAnswers.push_back(QString::fromStdString(path("lines.tsv")));
    w->exportLines();
    QCOMPARE(ui->messages.last(), "용례 3줄을 저장했습니다: " + QString::fromStdString(path("lines.tsv")));
    QCOMPARE(QString::fromStdString(test::readFile(path("lines.tsv"))),
             "document\tserial\tleft\thit\tright\tanalysis\n" + QString::fromStdString(path("a.id")) +
                 "\tA2\t나는\t밥을\t먹었다 갂을 먹는다\t밥/NNG + 을/JKO\n" + QString::fromStdString(path("a.id")) +
                 "\tA4\t나는 밥을 먹었다\t갂을\t먹는다\t갂/NNG + 을/JKO\n" + QString::fromStdString(path("b.id")) +
                 "\tB1\t\t밥을\t먹자\t밥/NNG + 을/JKO\n");
    QCOMPARE(ui->filters.last(), QString("TSV Files (*.tsv)|*.tsv||"));

    w->lines()->selectRow(2);
    w->copySelection();
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromStdString(path("b.id")) + "\tB1\t\t밥을\t먹자\t밥/NNG + 을/JKO\n");

    // Double-click: the grid is asked for the record; the window moves off its row.
    w->activate(m->index(1, ConcordanceModel::kHit));
    QCOMPARE(shown.size(), std::size_t{1});
    QCOMPARE(shown[0].first, path("a.id"));
    QCOMPARE(shown[0].second, 4u);

    // The history is the user's: a new window offers the queries that ran, latest first.
    QCOMPARE(w->history(), QStringList({"^*/NNG"}));
    w->setQuery("w:먹자");
    w->runQuery();
    auto again = window();
    QCOMPARE(again->history(), QStringList({"w:먹자", "^*/NNG"}));
    QCOMPARE(again->queryBox()->count(), 2);
  }

  void collocationsAndDistribution() {
    auto w = window();
    w->setQuery("먹/VV");
    w->runQuery();
    DistributionModel* d = w->distributionModel();
    QCOMPARE(d->rowCount(), 2);
    QCOMPARE(column(d, DistributionModel::kHits), QStringList({"2", "1"}));
    QCOMPARE(column(d, DistributionModel::kPerMillion), QStringList({"400000.0000", "500000.0000"}));
    QCOMPARE(column(d, DistributionModel::kWords), QStringList({"5", "2"}));

    w->leftSpanBox()->setValue(1);
    w->rightSpanBox()->setValue(0);
    w->unitBox()->setCurrentIndex(1);  // words
    w->runCollocations();
    CollocationModel* c = w->collocationModel();
    QCOMPARE(w->tabs()->currentIndex(), 1);
    QCOMPARE(column(c, CollocationModel::kCollocate), QStringList({"밥을", "갂을"}));  // LL, best first
    QCOMPARE(c->index(0, CollocationModel::kLL).data().toString(), QString("4.5567"));
    QCOMPARE(c->index(0, CollocationModel::kLogDice).data().toString(), QString("13.6781"));
    c->sort(CollocationModel::kCollocate, Qt::AscendingOrder);
    QCOMPARE(column(c, CollocationModel::kCollocate), QStringList({"갂을", "밥을"}));
    c->sort(CollocationModel::kObserved, Qt::AscendingOrder);  // the reverse of best first
    QCOMPARE(column(c, CollocationModel::kObserved), QStringList({"1", "2"}));

    w->leftSpanBox()->setValue(0);
    w->runCollocations();
    QCOMPARE(ui->warnings.last(), QString("왼쪽이나 오른쪽 범위가 한 어절 이상이어야 합니다."));
    w->setDocuments({});
    w->runQuery();
    QCOMPARE(ui->warnings.last(), QString("용례를 찾을 문헌이 없습니다."));
  }

  void fromTheGridAndBack() {
    QMainWindow frame;
    auto* view = new CSelvanorView(*ui, nullptr, &frame);
    frame.setCentralWidget(view);
    view->setSystemProfile(*profile);
    view->chooseDocument(QString::fromStdString(path("a.id")));
    view->startAnalysis();
    QVERIFY(view->gridLoaded());
    view->selectRow(2);  // 먹었다 먹/VV + 었/EP + 다/EF
    view->concordanceOfCurrentRow(false);
    ConcordanceWindow* w = view->concordanceWindow();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->query(), QString("w:먹었다"));
    QCOMPARE(w->linesModel()->rowCount(), 1);
    view->concordanceOfCurrentRow(true);
    QCOMPARE(w->query(), QString("먹/VV"));
    QCOMPARE(column(w->linesModel(), ConcordanceModel::kSerial), QStringList({"A3", "A5"}));
    // Double-click on a line selects its record in the grid.
    w->activate(w->linesModel()->index(1, 0));
    QCOMPARE(view->currentRow(), 4);
    // A line of another document opens it in the grid.
    w->setDocuments({path("b.id")});
    w->runQuery();
    w->activate(w->linesModel()->index(0, 0));
    QCOMPARE(view->context().currentDocument, path("b.id"));
    QCOMPARE(view->currentRow(), 1);
    QVERIFY(ui->warnings.isEmpty());
  }
};

QTEST_MAIN(ConcordanceWindowTest)
#include "concordance_window_test.moc"
