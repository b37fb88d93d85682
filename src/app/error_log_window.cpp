#include "app/error_log_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "common/files.h"

namespace selvanor {

ErrorLogWindow::ErrorLogWindow(QWidget* parent) : QWidget(parent) {
  caption_ = new QLabel(QStringLiteral("오류 기록창"), this);
  pane_ = new QPlainTextEdit(this);
  pane_->setObjectName(QStringLiteral("errorLogPane"));
  pane_->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane_->setFrameShadow(QFrame::Sunken);
  pane_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 1, 2, 2);
  layout->setSpacing(1);
  layout->addWidget(caption_);
  layout->addWidget(pane_, 1);
}

void ErrorLogWindow::append(std::string_view cp949Line) {
  QString line = fromCp949(cp949Line);
  // The pane keeps lines as text lines; the file form gets its "\r\n" back on save.
  if (line.endsWith(QStringLiteral("\r\n"))) line.chop(2);
  else if (line.endsWith(QLatin1Char('\n'))) line.chop(1);
  pane_->appendPlainText(line);
  pane_->verticalScrollBar()->setValue(pane_->verticalScrollBar()->maximum());
  emit appended();
}

void ErrorLogWindow::clear() { pane_->clear(); }

QString ErrorLogWindow::text() const {
  const QString plain = pane_->toPlainText();
  if (plain.isEmpty()) return plain;
  QString out = plain;
  out.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return out + QStringLiteral("\r\n");
}

void ErrorLogWindow::save(UserInteraction& ui) {
  const QString path =
      ui.chooseSaveFile(QStringLiteral("오류 리스트 파일 (*.txt)|*.txt||"), QStringLiteral("*.txt"));
  if (path.isEmpty()) return;
  const auto bytes = toCp949(text(), ui);
  if (!bytes) return;
  FilePtr f = openFile(nativePath(path), "wb");
  const bool ok = f && std::fwrite(bytes->data(), 1, bytes->size(), f.get()) == bytes->size() &&
                  std::fclose(f.release()) == 0;
  if (!ok) ui.warning(QStringLiteral("파일을 저장할수 없습니다. "));
}

}  // namespace selvanor
