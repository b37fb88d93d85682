// The main window's 편집 menu (실행 취소 Ctrl+Z, 다시 실행 Ctrl+Y) over the view's undo
// history, and the status-bar field with the current record's position "n / N".
#pragma once

class QAction;
class QLabel;
class QMainWindow;

namespace selvanor {

class CSelvanorView;

struct EditCommands {
  QAction* undo = nullptr;
  QAction* redo = nullptr;
  QLabel* position = nullptr;
};

// Adds the menu after the frame's first menu and the position field before the status
// bar's other permanent panes; both follow the view's signals from then on.
EditCommands installEditCommands(QMainWindow& frame, CSelvanorView& view);

}  // namespace selvanor
