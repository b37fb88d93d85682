// What the two dictionary entry dialogs share: text fields that take any length (a line
// edit cuts at 32767 characters by default) and the line breaks of multi-line fields,
// stored as CR LF like the dictionaries kept so far and shown as plain line feeds.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>

#include <limits>

namespace selvanor::entryfields {

[[nodiscard]] inline QLineEdit* uncutLineEdit(const QString& text, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setMaxLength(std::numeric_limits<int>::max());
  field->setText(text);
  return field;
}

// Stored text as the editor shows it: CR LF and lone CRs become line feeds.
[[nodiscard]] inline QString shownLines(QString stored) {
  stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  stored.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return stored;
}

// The editor's text as it is stored: every line break CR LF.
[[nodiscard]] inline QString storedLines(const QPlainTextEdit& editor) {
  QString text = editor.toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}

}  // namespace selvanor::entryfields
