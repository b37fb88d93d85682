#include "app/about_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace selvanor {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("selvanor 정보"));
  auto* icon = new QLabel(this);
  icon->setPixmap(QApplication::windowIcon().isNull()
                      ? style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32)
                      : QApplication::windowIcon().pixmap(32, 32));
  auto* text = new QLabel(QStringLiteral("selvanor 버전 2.0"), this);
  auto* ok = new QPushButton(QStringLiteral("확인"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addWidget(text, 1);
  row->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
}

}  // namespace selvanor
