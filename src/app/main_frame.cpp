#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/bar_sizes.h"
#include "app/command_icons.h"
#include "app/command_table.h"
#include "app/dictionary_sheet.h"
#include "app/edit_commands.h"
#include "app/reference_page.h"
#include "app/error_log_window.h"
#include "app/frame_menus.h"
#include "app/selvanor_view.h"

namespace selvanor {
namespace {

const QString kIdle = QStringLiteral("준비");

// Caps, Num and Scroll Lock as the kernel's keyboard LEDs report them (best effort).
bool lockOn(const char* led) {
  for (int i = 0; i < 16; ++i) {
    QFile f(QStringLiteral("/sys/class/leds/input%1::%2/brightness").arg(i).arg(QLatin1String(led)));
    if (f.open(QIODevice::ReadOnly)) return f.readAll().trimmed() != "0";
  }
  return false;
}

}  // namespace

CMainFrame::CMainFrame(UserInteraction& ui, Settings* settings, QSettings& profile, QWidget* parent)
    : QMainWindow(parent), profile_(profile) {
  setObjectName(QStringLiteral("CMainFrame"));
  view_ = new CSelvanorView(ui, settings, this);
  setCentralWidget(view_);
  createActions();
  createMenus();
  createToolbar();
  createStatusBar();
  createBars(ui);
  installEditCommands(*this, *view_);
  fillViewMenu(*viewMenu_, *this, *findChild<QToolBar*>(QStringLiteral("toolbar")), *errorBar_,
               *dictionaryBar_);
  view_->setErrorLog(errorLog_);
  setWindowTitle(QStringLiteral(" Selvanor "));

  connect(view_, &CSelvanorView::titleChanged, this, &QWidget::setWindowTitle);
  connect(view_, &CSelvanorView::documentStateChanged, this, &CMainFrame::updateCommandStates);
  connect(view_, &CSelvanorView::dictionaryPathsChanged, sheet_, &CDicSheet::setDictionaryPaths);
  connect(view_, &CSelvanorView::documentReferenceChanged, sheet_->referencePage(),
          &CRefPage::setPath);
  updateCommandStates();
  restoreBars();
}

CMainFrame::~CMainFrame() { saveBars(); }

QString CMainFrame::statusMessage() const { return statusBar()->currentMessage(); }

void CMainFrame::createActions() {
  for (const CommandSpec& entry : commandTable()) {
    const QString caption = entry.caption ? QString::fromUtf8(entry.caption) : QString();
    auto* action = new QAction(caption, this);
    action->setData(entry.id);
    action->setIcon(commandIcon(entry.id));
    action->setIconVisibleInMenu(false);
    if (entry.prompt) {
      const QStringList parts = QString::fromUtf8(entry.prompt).split(QLatin1Char('\n'));
      action->setStatusTip(parts.value(0));
      action->setToolTip(parts.value(1, parts.value(0)));
    } else if (!caption.isEmpty()) {
      action->setToolTip(caption);
    }
    if (entry.id == cmd::kSearch) action->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    if (entry.id == cmd::kUserGuide) action->setShortcut(QKeySequence::HelpContents);
    action->setText(menuItemCaption(caption, action->shortcut()));
    connect(action, &QAction::triggered, view_, [this, id = entry.id] { view_->runCommand(id); });
    actions_.insert(entry.id, action);
  }
}

void CMainFrame::createMenus() {
  QMap<QString, QMenu*> menus;
  for (const char* top : menuOrder()) {
    const QString name = QString::fromUtf8(top);
    if (name == QStringLiteral("환경 설정")) {
      // A command on the menu bar itself, shown as text like the menus beside it.
      QAction* settings = actions_.value(cmd::kSettings);
      QAction* item = menuBar()->addAction(menuCaption(settings->text()));
      item->setStatusTip(settings->statusTip());
      connect(item, &QAction::triggered, settings, &QAction::trigger);
      continue;
    }
    QMenu* menu = menuBar()->addMenu(menuCaption(name));
    if (name == QString::fromUtf8(kViewMenu)) viewMenu_ = menu;
    menus.insert(name, menu);
  }
  for (const CommandSpec& entry : commandTable()) {
    if (!entry.menu || entry.id == cmd::kSettings) continue;
    const QStringList path = QString::fromUtf8(entry.menu).split(QLatin1Char('/'));
    QMenu* menu = menus.value(path[0]);
    if (!menu) continue;
    if (path.size() > 1) {
      const QString key = path.join(QLatin1Char('/'));
      QMenu* sub = menus.value(key);
      if (!sub) {
        sub = menu->addMenu(menuCaption(path[1]));
        menus.insert(key, sub);
      }
      menu = sub;
    }
    menu->addAction(actions_.value(entry.id));
  }
}

void CMainFrame::createToolbar() {
  auto* toolbar = addToolBar(QStringLiteral("도구 모음"));
  toolbar->setObjectName(QStringLiteral("toolbar"));
  toolbar->setIconSize(QSize(16, 16));
  toolbar->setMovable(true);
  toolbar->setAllowedAreas(Qt::AllToolBarAreas);
  for (int id : toolbarLayout()) {
    if (id == 0) toolbar->addSeparator();
    else toolbar->addAction(actions_.value(id));
  }
}

void CMainFrame::createStatusBar() {
  const char* names[3] = {"CAP", "NUM", "SCRL"};
  for (int i = 0; i < 3; ++i) {
    lockPanes_[i] = new QLabel(QString::fromLatin1(names[i]), this);
    lockPanes_[i]->setFrameShape(QFrame::StyledPanel);
    lockPanes_[i]->setMinimumWidth(40);
    lockPanes_[i]->setAlignment(Qt::AlignCenter);
    statusBar()->addPermanentWidget(lockPanes_[i]);
  }
  // Prompts arrive as status tips; the message pane shows "준비" whenever there is none.
  statusBar()->showMessage(kIdle);
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
    if (message.isEmpty()) statusBar()->showMessage(kIdle);
  });
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &CMainFrame::updateLockIndicators);
  timer->start(500);
  updateLockIndicators();
}

void CMainFrame::updateLockIndicators() {
  const char* leds[3] = {"capslock", "numlock", "scrolllock"};
  for (int i = 0; i < 3; ++i) lockPanes_[i]->setEnabled(lockOn(leds[i]));
}

void CMainFrame::createBars(UserInteraction& ui) {
  errorLog_ = new ErrorLogWindow(this);
  errorBar_ = new QDockWidget(QStringLiteral("에러창"), this);
  errorBar_->setObjectName(QStringLiteral("SCBar-%1").arg(kErrorBarId));
  errorBar_->setWidget(errorLog_);
  sheet_ = new CDicSheet(ui, this);
  dictionaryBar_ = new QDockWidget(QStringLiteral("사전"), this);
  dictionaryBar_->setObjectName(QStringLiteral("SCBar-%1").arg(kDictionaryBarId));
  dictionaryBar_->setWidget(sheet_);
  for (QDockWidget* bar : {errorBar_, dictionaryBar_}) {
    bar->setAllowedAreas(Qt::AllDockWidgetAreas);
    bar->setMinimumSize(BarSizes::kMinHorizontal);
    addDockWidget(Qt::BottomDockWidgetArea, bar);
  }
  splitDockWidget(errorBar_, dictionaryBar_, Qt::Horizontal);
  // Lines arriving in a closed error bar would go unseen: the bar comes back.
  connect(errorLog_, &ErrorLogWindow::appended, errorBar_, [this] {
    if (errorBar_->isHidden()) errorBar_->show();
    errorBar_->raise();
  });
}

void CMainFrame::restoreBars() {
  for (QDockWidget* bar : {errorBar_, dictionaryBar_}) {
    const int id = bar == errorBar_ ? kErrorBarId : kDictionaryBarId;
    // The dictionary bar opens tall enough for six rows of its lists; a saved size wins.
    BarSizes initial;
    if (bar == dictionaryBar_) {
      const int title = bar->fontMetrics().height() + 8;
      initial.horizontal.setHeight(std::max(80, sheet_->heightForRows(6) + title));
    }
    const BarSizes sizes = loadBarSizes(profile_, id, initial);
    if (bar == dictionaryBar_ && !hasSavedHeight(profile_, id) &&
        !profile_.contains(QStringLiteral("BarState"))) {
      pendingBarHeight_ = sizes.horizontal.height();
    }
    const bool vertical = dockWidgetArea(bar) == Qt::LeftDockWidgetArea ||
                          dockWidgetArea(bar) == Qt::RightDockWidgetArea;
    if (bar->isFloating()) bar->resize(sizes.floating);
    else if (vertical) resizeDocks({bar}, {sizes.vertical.width()}, Qt::Horizontal);
    else resizeDocks({bar}, {sizes.horizontal.height()}, Qt::Vertical);
  }
  const QByteArray state = profile_.value(QStringLiteral("BarState")).toByteArray();
  if (!state.isEmpty()) restoreState(state);
}

void CMainFrame::saveBars() {
  if (barsSaved_) return;
  barsSaved_ = true;
  for (QDockWidget* bar : {errorBar_, dictionaryBar_}) {
    const int id = bar == errorBar_ ? kErrorBarId : kDictionaryBarId;
    BarSizes sizes = loadBarSizes(profile_, id, BarSizes{});
    if (bar->isFloating()) sizes.floating = bar->size();
    else if (dockWidgetArea(bar) == Qt::LeftDockWidgetArea || dockWidgetArea(bar) == Qt::RightDockWidgetArea)
      sizes.vertical = bar->size();
    else sizes.horizontal = bar->size();
    saveBarSizes(profile_, id, sizes);
  }
  profile_.setValue(QStringLiteral("BarState"), saveState());
  profile_.sync();
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  applyDefaultBarHeight();
}

void CMainFrame::applyDefaultBarHeight() {
  if (pendingBarHeight_ == 0) return;
  const int wanted = pendingBarHeight_;
  pendingBarHeight_ = 0;  // once: later the user's own sizes hold
  if (dockWidgetArea(dictionaryBar_) != Qt::BottomDockWidgetArea || dictionaryBar_->isFloating()) {
    return;
  }
  layout()->activate();
  // The grid and the bars share what lies between the bars at the top and the status bar.
  const int top = centralWidget()->geometry().top();
  const int bottom = statusBar()->isVisible() ? statusBar()->geometry().top() : height();
  const int barHeight = defaultBarHeight(wanted, bottom - top);
  resizeDocks({errorBar_, dictionaryBar_}, {barHeight, barHeight}, Qt::Vertical);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  saveBars();
  QMainWindow::closeEvent(event);
}

void CMainFrame::updateCommandStates() {
  for (auto it = actions_.begin(); it != actions_.end(); ++it) {
    const CommandSpec* entry = findCommand(it.key());
    // Commands whose work is not built yet stay visible but disabled; closing needs a
    // chosen document. The others check their own preconditions when run.
    it.value()->setEnabled(entry && entry->available &&
                           (it.key() != cmd::kCloseDocument || view_->documentChosen()));
  }
}

}  // namespace selvanor
