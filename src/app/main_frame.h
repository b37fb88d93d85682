// CMainFrame: the single top-level window: menus and toolbar built from the command
// table, the status bar with its prompts and lock indicators, the view as client area,
// and the two docking bars "에러창" (error log) and "사전" (dictionary sheet).
#pragma once

#include <QMainWindow>
#include <QMap>

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QSettings;

namespace selvanor {

class CDicSheet;
class CSelvanorView;
class ErrorLogWindow;
class Settings;
class UserInteraction;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kErrorBarId = 123;
  static constexpr int kDictionaryBarId = 124;

  // `profile`: the per-user application profile (bar layout and sizes).
  CMainFrame(UserInteraction& ui, Settings* settings, QSettings& profile, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CSelvanorView* view() const { return view_; }
  ErrorLogWindow* errorLog() const { return errorLog_; }
  CDicSheet* dictionarySheet() const { return sheet_; }
  QDockWidget* errorBar() const { return errorBar_; }
  QDockWidget* dictionaryBar() const { return dictionaryBar_; }
  QAction* action(int id) const { return actions_.value(id); }
  // What the message pane of the status bar shows.
  QString statusMessage() const;

  // Bar layout and sizes, read at creation and written when the frame closes.
  void restoreBars();
  void saveBars();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void createActions();
  void createMenus();
  void createToolbar();
  void createStatusBar();
  void createBars(UserInteraction& ui);
  void updateCommandStates();
  void updateLockIndicators();
  // At the first showing, without saved sizes: the bars' default height, capped by the
  // window's height (bar_sizes.h defaultBarHeight).
  void applyDefaultBarHeight();

  QSettings& profile_;
  CSelvanorView* view_;
  ErrorLogWindow* errorLog_;
  CDicSheet* sheet_;
  QDockWidget* errorBar_;
  QDockWidget* dictionaryBar_;
  QLabel* lockPanes_[3];
  QMenu* viewMenu_ = nullptr;
  QMap<int, QAction*> actions_;
  bool barsSaved_ = false;
  int pendingBarHeight_ = 0;  // the default height still to be fitted to the window; 0: none
};

}  // namespace selvanor
