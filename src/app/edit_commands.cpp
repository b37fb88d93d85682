#include "app/edit_commands.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "app/command_icons.h"
#include "app/selvanor_view.h"

namespace selvanor {
namespace {

// `primary` first (the menu shows the first key), then the desktop's own keys for the
// command.
QList<QKeySequence> keysFor(QKeySequence::StandardKey key, const QKeySequence& primary) {
  QList<QKeySequence> keys{primary};
  for (const QKeySequence& k : QKeySequence::keyBindings(key)) {
    if (!keys.contains(k)) keys.append(k);
  }
  return keys;
}

}  // namespace

EditCommands installEditCommands(QMainWindow& frame, CSelvanorView& view) {
  EditCommands out;
  auto* menu = new QMenu(QStringLiteral("편집(&E)"), &frame);
  menu->setObjectName(QStringLiteral("editMenu"));
  const QList<QAction*> tops = frame.menuBar()->actions();
  frame.menuBar()->insertMenu(tops.value(1, nullptr), menu);

  out.undo = menu->addAction(QStringLiteral("실행 취소(&U)"), &view, &CSelvanorView::undoEdit);
  out.undo->setObjectName(QStringLiteral("editUndo"));
  out.undo->setShortcuts(keysFor(QKeySequence::Undo, QKeySequence(QStringLiteral("Ctrl+Z"))));
  out.undo->setStatusTip(QStringLiteral("마지막 편집을 되돌립니다."));
  out.undo->setIcon(undoIcon());
  out.redo = menu->addAction(QStringLiteral("다시 실행(&R)"), &view, &CSelvanorView::redoEdit);
  out.redo->setObjectName(QStringLiteral("editRedo"));
  out.redo->setShortcuts(keysFor(QKeySequence::Redo, QKeySequence(QStringLiteral("Ctrl+Y"))));
  out.redo->setStatusTip(QStringLiteral("되돌린 편집을 다시 실행합니다."));
  out.redo->setIcon(redoIcon());

  out.position = new QLabel(&frame);
  out.position->setObjectName(QStringLiteral("recordPosition"));
  out.position->setAlignment(Qt::AlignCenter);
  out.position->setMinimumWidth(out.position->fontMetrics().horizontalAdvance(
      QStringLiteral("0000000 / 0000000")));
  out.position->setToolTip(QStringLiteral("현재 기록의 위치 / 전체 기록 수"));
  frame.statusBar()->insertPermanentWidget(0, out.position);

  const EditCommands actions = out;
  auto update = [actions, &view] {
    actions.undo->setEnabled(view.canUndo());
    actions.redo->setEnabled(view.canRedo());
  };
  QObject::connect(&view, &CSelvanorView::historyChanged, menu, update);
  QObject::connect(&view, &CSelvanorView::positionChanged, out.position, &QLabel::setText);
  update();
  out.position->setText(view.positionText());
  return out;
}

}  // namespace selvanor
