// What the main frame's menus show beyond the command table: the access key of each menu,
// command captions without the shortcut the menu prints beside them, and the 보기 menu
// that shows or hides the toolbar, the status bar and the two docking bars.
#pragma once

#include <QString>

class QDockWidget;
class QKeySequence;
class QMainWindow;
class QMenu;
class QToolBar;

namespace selvanor {

// The menu bar's name of a menu: "문헌 관리" -> "문헌 관리(&F)". A name that already
// carries an access key ("도움말(&H)") is kept as it is.
[[nodiscard]] QString menuCaption(const QString& name);

// "검 색(Ctrl+F)" with the shortcut Ctrl+F -> "검 색": the menu prints the shortcut itself.
[[nodiscard]] QString menuItemCaption(const QString& caption, const QKeySequence& shortcut);

// The name of the 보기 menu in the command table's menu order.
inline constexpr char kViewMenu[] = "보기";

// Fills the 보기 menu: one checkable item per bar, checked while the bar shows.
void fillViewMenu(QMenu& menu, QMainWindow& frame, QToolBar& toolbar, QDockWidget& errorBar,
                  QDockWidget& dictionaryBar);

}  // namespace selvanor
