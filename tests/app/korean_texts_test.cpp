// What the real seam shows: Qt's own texts in Korean once its translations are installed,
// warnings with the warning icon, information with the information icon, and file
// choosers large enough for the size and date columns; a cancelled chooser gives nothing.
#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QHeaderView>

#include <functional>

#include "app/application.h"
#include "ui_base/user_interaction.h"

using namespace selvanor;

namespace {

// Runs `look` on the first modal window of type W that shows, then closes it.
template <class W>
void whenModal(std::function<void(W&)> look) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, look] {
    auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
    if (!w || !w->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    look(*w);
    w->reject();
  });
  timer->start(10);
}

bool hasHangul(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3) return true;
  }
  return false;
}

}  // namespace

class KoreanTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(installKoreanQtTranslations()); }

  void standardButtonsAreKorean() {
    QVERIFY(installKoreanQtTranslations());  // a second call changes nothing
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    for (QAbstractButton* b : box.buttons()) QVERIFY2(hasHangul(b->text()), qPrintable(b->text()));
  }

  void warningsAndMessagesWithTheirIcons() {
    WidgetInteraction ui(nullptr);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QStringList buttons;
    const auto look = [&](QMessageBox& box) {
      icon = box.icon();
      text = box.text();
      buttons.clear();
      for (QAbstractButton* b : box.buttons()) buttons << b->text();
    };
    whenModal<QMessageBox>(look);
    ui.warning("문헌 파일을 열어 주세요 ");
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(text, QString("문헌 파일을 열어 주세요 "));
    QVERIFY(!buttons.isEmpty() && hasHangul(buttons.join("")));
    whenModal<QMessageBox>(look);
    ui.message("오류 검사가 완료 되었습니다.");
    QCOMPARE(icon, QMessageBox::Information);
    whenModal<QMessageBox>(look);
    QVERIFY(!ui.askYesNo("지우시겠습니까 ?"));  // closed: No
    QCOMPARE(icon, QMessageBox::Question);
    for (const QString& b : buttons) QVERIFY2(hasHangul(b), qPrintable(b));
  }

  void choosersAreKoreanRoomyAndCancelGivesNothing() {
    WidgetInteraction ui(nullptr);
    QSize size;
    QFileDialog::ViewMode mode = QFileDialog::List;
    QStringList labels;
    QStringList headers;
    const auto look = [&](QFileDialog& d) {
      size = d.size();
      mode = d.viewMode();
      for (QLabel* l : d.findChildren<QLabel*>()) {
        if (!l->text().isEmpty()) labels << l->text();
      }
      headers.clear();
      if (auto* files = d.findChild<QTreeView*>("treeView")) {
        for (int c = 0; c < files->model()->columnCount(files->rootIndex()); ++c) {
          if (!files->header()->isSectionHidden(c)) headers << files->model()->headerData(c, Qt::Horizontal).toString();
        }
      }
    };
    whenModal<QFileDialog>(look);
    QCOMPARE(ui.chooseOpenFile("동음어 사전 Files (*.dic)|*.dic||", "*.dic"), QString());
    QVERIFY(size.width() >= kChooserWidth && size.height() >= kChooserHeight);
    QCOMPARE(mode, QFileDialog::Detail);
    QVERIFY(!labels.isEmpty());
    for (const QString& l : labels) QVERIFY2(hasHangul(l), qPrintable(l));
    QCOMPARE(headers, QStringList({"이름", "크기", "수정한 날짜"}));
    whenModal<QFileDialog>(look);
    QCOMPARE(ui.chooseSaveFile("텍스트 파일 (*.txt)|*.txt||", "*.txt", true), QString());
    QCOMPARE(mode, QFileDialog::Detail);
    whenModal<QFileDialog>(look);
    QVERIFY(ui.chooseOpenFiles("분석 파일 (*.id)|*.id||", "*.id").isEmpty());
  }
};

QTEST_MAIN(KoreanTextsTest)
#include "korean_texts_test.moc"
