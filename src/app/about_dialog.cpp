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
                      ? style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48)
                      : QApplication::windowIcon().pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);
  auto* text = new QLabel(QStringLiteral("selvanor 버전 2.0"), this);
  text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  auto* ok = new QPushButton(QStringLiteral("확인"), this);
  ok->setDefault(true);
  ok->setMinimumWidth(90);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->setSpacing(16);
  row->addWidget(icon);
  row->addWidget(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 20, 20, 14);
  layout->setSpacing(16);
  layout->addLayout(row, 1);
  layout->addLayout(buttons);
  // Room for the line and the button side by side with a margin, never a sliver.
  setMinimumSize(360, 150);
}

}  // namespace selvanor
