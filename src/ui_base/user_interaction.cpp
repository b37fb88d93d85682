#include "ui_base/user_interaction.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace selvanor {
namespace {

const QString kTitle = QStringLiteral("Selvanor");

// Splits an initial "folder/*.ext" or "name.ext" into the dialog's start directory.
QString startPath(const QString& initial) {
  if (initial.isEmpty() || initial.startsWith(QLatin1Char('*'))) return QString();
  if (initial.contains(QLatin1Char('*'))) return QFileInfo(initial).path();
  return initial;
}

}  // namespace

QString chooserFilter(const QString& systemFilter) {
  // Pairs of description|pattern, ended by "||".
  const QStringList parts = systemFilter.split(QLatin1Char('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    QString description = parts[i].trimmed();
    const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    if (!description.contains(QLatin1Char('('))) description += QStringLiteral(" (%1)").arg(pattern);
    filters << description;
  }
  return filters.join(QStringLiteral(";;"));
}

void WidgetInteraction::message(const QString& text) {
  QMessageBox::information(parent_, kTitle, text);
}

bool WidgetInteraction::askYesNo(const QString& text) {
  return QMessageBox::question(parent_, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

bool WidgetInteraction::confirm(const QString& text, const QString& caption) {
  return QMessageBox::question(parent_, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Ok) == QMessageBox::Ok;
}

QString WidgetInteraction::chooseOpenFile(const QString& filter, const QString& initial) {
  return QFileDialog::getOpenFileName(parent_, QString(), startPath(initial), chooserFilter(filter));
}

QString WidgetInteraction::chooseSaveFile(const QString& filter, const QString& initial,
                                          bool confirmOverwrite) {
  return QFileDialog::getSaveFileName(
      parent_, QString(), startPath(initial), chooserFilter(filter), nullptr,
      confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
}

QStringList WidgetInteraction::chooseOpenFiles(const QString& filter, const QString& initial) {
  return QFileDialog::getOpenFileNames(parent_, QString(), startPath(initial), chooserFilter(filter));
}

}  // namespace selvanor
