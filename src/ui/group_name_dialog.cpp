#include "ui/group_name_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui_base/qt_text.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

GroupNameDialog::GroupNameDialog(UserInteraction& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
  setWindowTitle(QStringLiteral("그룹명 입력"));
  field_ = new QLineEdit(this);
  field_->setMinimumWidth(240);
  auto* ok = new QPushButton(QStringLiteral("확 인"), this);
  auto* cancel = new QPushButton(QStringLiteral("취 소"), this);
  ok->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("그룹명"), this));
  row->addWidget(field_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &GroupNameDialog::tryAccept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void GroupNameDialog::tryAccept() {
  // One line of the list file holds the name: a line break would split it.
  if (field_->text().contains(QLatin1Char('\n')) || field_->text().contains(QLatin1Char('\r'))) {
    ui_.message(QStringLiteral("그룹명에는 줄바꿈을 넣을 수 없습니다."));
    return;
  }
  const std::optional<std::string> name = toCp949(field_->text(), ui_);
  if (!name) return;
  name_ = *name;
  accept();
}

}  // namespace selvanor
