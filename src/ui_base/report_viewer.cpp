#include "ui_base/report_viewer.h"

#include <QDesktopServices>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"
#include "common/files.h"

namespace selvanor {

ReportViewer::ReportViewer(UserInteraction& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  text_ = new QPlainTextEdit(this);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* external = new QPushButton(QStringLiteral("다른 프로그램으로 열기"), this);
  auto* close = new QPushButton(QStringLiteral("닫 기"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(external);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addLayout(buttons);
  resize(900, 640);
  connect(external, &QPushButton::clicked, this, &ReportViewer::openExternally);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

bool ReportViewer::open(const QString& path, bool utf8) {
  FilePtr f = openFile(nativePath(path), "rb");
  if (!f) {
    ui_.warning(QStringLiteral("결과 파일을 열 수 없습니다. [%1]").arg(path));
    return false;
  }
  std::string bytes;
  char buffer[65536];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) bytes.append(buffer, n);
  path_ = path;
  setWindowTitle(path);
  text_->setPlainText(utf8 ? QString::fromStdString(bytes) : fromCp949(bytes));
  return true;
}

void ReportViewer::openExternally() {
  if (!path_.isEmpty() && !QDesktopServices::openUrl(QUrl::fromLocalFile(path_))) {
    ui_.warning(QStringLiteral("이 파일을 열 프로그램이 없습니다. [%1]").arg(path_));
  }
}

}  // namespace selvanor
