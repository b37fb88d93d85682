#include "app/tag_combo_box.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace selvanor {

void showInComboBox(QComboBox& box, const QString& text) {
  const int index = box.findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  box.setCurrentIndex(index);
  // An unknown entry leaves the list unselected but keeps the text visible (and stored).
  if (box.currentText() != text) box.setEditText(text);
}

TagComboBox::TagComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  // Completion is ours: Qt's own completer would also fire on Backspace.
  setCompleter(nullptr);
  // Typed text is a value, never a new entry of the shared tag list.
  setInsertPolicy(QComboBox::NoInsert);
  lineEdit()->installEventFilter(this);
  disableInputMethod();
  connect(lineEdit(), &QLineEdit::textEdited, this, &TagComboBox::complete);
}

void TagComboBox::showTag(const QString& tag) { showInComboBox(*this, tag); }

void TagComboBox::disableInputMethod() {
  // Both: the combo answers input-method queries through its line edit. Qt keeps the
  // input-method state per widget, so the other fields stay in Hangul mode.
  setAttribute(Qt::WA_InputMethodEnabled, false);
  if (QLineEdit* edit = lineEdit()) edit->setAttribute(Qt::WA_InputMethodEnabled, false);
}

void TagComboBox::noteKey(int key) {
  completionOn_ = key != Qt::Key_Backspace && key != Qt::Key_Delete;
}

void TagComboBox::keyPressEvent(QKeyEvent* event) {
  noteKey(event->key());
  QComboBox::keyPressEvent(event);
}

bool TagComboBox::eventFilter(QObject* watched, QEvent* event) {
  // Keys may reach the line edit directly rather than through the combo.
  if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
    noteKey(static_cast<QKeyEvent*>(event)->key());
  }
  return QComboBox::eventFilter(watched, event);
}

void TagComboBox::focusInEvent(QFocusEvent* event) {
  // setEditable/setLineEdit switch the input method back on; make sure it stays off.
  disableInputMethod();
  QComboBox::focusInEvent(event);
}

void TagComboBox::complete(const QString& typed) {
  if (!completionOn_) return;
  QLineEdit* edit = lineEdit();
  const int caret = edit->cursorPosition();
  const bool hadSelection = edit->hasSelectedText();
  const int selectionStart = edit->selectionStart();
  const int selectionLength = edit->selectedText().size();

  int found = -1;
  if (!typed.isEmpty()) {
    for (int i = 0; i < count(); ++i) {
      if (itemText(i).startsWith(typed, Qt::CaseInsensitive)) {
        found = i;
        break;
      }
    }
  }

  if (found < 0) {
    // No entry fits: no selection, the text exactly as typed.
    setCurrentIndex(-1);
    setEditText(typed);
    edit->setCursorPosition(caret);
    return;
  }
  setCurrentIndex(found);
  setEditText(itemText(found));  // also when already current: the entry's own case
  if (caret == typed.size()) {
    // The completed remainder, so that typing on replaces it.
    edit->setSelection(typed.size(), edit->text().size() - typed.size());
  } else if (hadSelection) {
    edit->setSelection(selectionStart, selectionLength);
  } else {
    edit->setCursorPosition(caret);
  }
}

}  // namespace selvanor
