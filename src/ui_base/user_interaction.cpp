#include "ui_base/user_interaction.h"

#include "common/refusal.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>

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

namespace {

// A failure's own message, with the store's reason for the user under it when there is
// one (another program holds the file, a damaged file, no space).
QString withReason(const QString& text) {
  const std::string reason = takeRefusal();
  if (reason.empty()) return text;
  return text + QStringLiteral("\n\n") + QString::fromStdString(reason);
}

}  // namespace

void WidgetInteraction::message(const QString& text) {
  QMessageBox::information(parent_, kTitle, withReason(text));
}

void WidgetInteraction::warning(const QString& text) {
  QMessageBox::warning(parent_, kTitle, withReason(text));
}

bool WidgetInteraction::askYesNo(const QString& text) {
  return QMessageBox::question(parent_, kTitle, text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

bool WidgetInteraction::confirm(const QString& text, const QString& caption) {
  return QMessageBox::question(parent_, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                               QMessageBox::Ok) == QMessageBox::Ok;
}

namespace {

// A chooser in the detail view at a size that shows names, sizes and dates whole.
QStringList runChooser(QWidget* parent, QFileDialog::FileMode mode, QFileDialog::AcceptMode accept,
                       const QString& filter, const QString& initial,
                       QFileDialog::Options options = {}) {
  QFileDialog dialog(parent, QString(), startPath(initial), chooserFilter(filter));
  dialog.setFileMode(mode);
  dialog.setAcceptMode(accept);
  dialog.setOptions(options);
  dialog.setViewMode(QFileDialog::Detail);
  dialog.resize(kChooserWidth, kChooserHeight);
  // Qt's own chooser: names take the room, size and date are shown whole; the kind column
  // (named by the desktop's type database, often in English) adds nothing to the extension.
  if (auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = files->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header->hideSection(2);
    header->setSectionResizeMode(3, QHeaderView::ResizeToContents);
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

}  // namespace

QString WidgetInteraction::chooseOpenFile(const QString& filter, const QString& initial) {
  return runChooser(parent_, QFileDialog::ExistingFile, QFileDialog::AcceptOpen, filter, initial)
      .value(0);
}

QString WidgetInteraction::chooseSaveFile(const QString& filter, const QString& initial,
                                          bool confirmOverwrite) {
  return runChooser(parent_, QFileDialog::AnyFile, QFileDialog::AcceptSave, filter, initial,
                    confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite)
      .value(0);
}

QStringList WidgetInteraction::chooseOpenFiles(const QString& filter, const QString& initial) {
  return runChooser(parent_, QFileDialog::ExistingFiles, QFileDialog::AcceptOpen, filter, initial);
}

}  // namespace selvanor
