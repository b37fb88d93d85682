#include "app/settings_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui_base/user_interaction.h"

namespace selvanor {
namespace {

struct Row {
  const char* caption;
  const char* filter;
  const char* defaultName;
};
const Row kRows[3] = {
    {"동음어 사전", "동음어 사전 Files (*.dic)|*.dic||", "*.dic"},
    {"미등재어 사전", "미등재어  Files (*.mdj)|*.mdj||", "*.mdj"},
    {"참조 파일", "참조  Files (*.idx)|*.idx|", "*.idx"},
};

}  // namespace

SettingsDialog::SettingsDialog(UserInteraction& ui, const QString& homonym,
                               const QString& unregistered, const QString& reference,
                               QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setWindowTitle(QStringLiteral("옵 션 "));
  auto* grid = new QGridLayout;
  const QString values[3] = {homonym, unregistered, reference};
  for (int i = 0; i < 3; ++i) {
    auto* button = new QPushButton(QString::fromUtf8(kRows[i].caption), this);
    fields_[i] = new QLineEdit(values[i], this);
    fields_[i]->setMinimumWidth(420);
    grid->addWidget(button, i, 0);
    grid->addWidget(fields_[i], i, 1);
    connect(button, &QPushButton::clicked, this, [this, i] { chooseRow(i); });
  }
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("확 인"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("닫 기"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
}

void SettingsDialog::chooseRow(int row) {
  // A cancelled chooser returns nothing: the row keeps its path, or 확 인 would clear
  // the setting.
  const QString chosen = ui_.chooseOpenFile(QString::fromUtf8(kRows[row].filter),
                                            QString::fromUtf8(kRows[row].defaultName));
  if (!chosen.isEmpty()) fields_[row]->setText(chosen);
}

QString SettingsDialog::homonymPath() const { return fields_[0]->text(); }
QString SettingsDialog::unregisteredPath() const { return fields_[1]->text(); }
QString SettingsDialog::referencePath() const { return fields_[2]->text(); }

}  // namespace selvanor
