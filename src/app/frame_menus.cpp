#include "app/frame_menus.h"

#include <QAction>
#include <QDockWidget>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

namespace selvanor {
namespace {

struct AccessKey {
  const char* menu;
  char key;
};

constexpr AccessKey kAccessKeys[] = {
    {"문헌 관리", 'F'},      {"전처리", 'P'},           {"어절 분석", 'A'},
    {"후처리", 'R'},         {"통계", 'S'},             {"목록 관리", 'L'},
    {"보기", 'V'},           {"환경 설정", 'O'},        {"분석 재검토", 'R'},
    {"동음어 사전 관리", 'H'}, {"미등재어 사전 관리", 'U'}, {"오류 기록창 관리", 'E'},
    {"참조 파일 관리", 'R'},
};

}  // namespace

QString menuCaption(const QString& name) {
  if (name.contains(QLatin1Char('&'))) return name;
  for (const AccessKey& k : kAccessKeys) {
    if (name == QString::fromUtf8(k.menu)) return name + QStringLiteral("(&%1)").arg(QLatin1Char(k.key));
  }
  return name;
}

QString menuItemCaption(const QString& caption, const QKeySequence& shortcut) {
  const QString printed = QStringLiteral("(%1)").arg(shortcut.toString(QKeySequence::PortableText));
  if (shortcut.isEmpty() || !caption.endsWith(printed)) return caption;
  return caption.left(caption.size() - printed.size());
}

void fillViewMenu(QMenu& menu, QMainWindow& frame, QToolBar& toolbar, QDockWidget& errorBar,
                  QDockWidget& dictionaryBar) {
  QAction* tools = toolbar.toggleViewAction();
  tools->setText(QStringLiteral("도구 모음(&T)"));
  menu.addAction(tools);
  auto* status = new QAction(QStringLiteral("상태 표시줄(&S)"), &menu);
  status->setObjectName(QStringLiteral("toggleStatusBar"));
  status->setCheckable(true);
  status->setChecked(true);
  QObject::connect(status, &QAction::toggled, frame.statusBar(), &QWidget::setVisible);
  menu.addAction(status);
  menu.addSeparator();
  QAction* errors = errorBar.toggleViewAction();
  errors->setText(QStringLiteral("에러창(&E)"));
  menu.addAction(errors);
  QAction* dictionary = dictionaryBar.toggleViewAction();
  dictionary->setText(QStringLiteral("사전(&D)"));
  menu.addAction(dictionary);
}

}  // namespace selvanor
