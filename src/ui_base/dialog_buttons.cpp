#include "ui_base/dialog_buttons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace selvanor {

QDialogButtonBox* makeDialogButtons(QDialog* dialog, const QString& acceptCaption,
                                    const QString& rejectCaption, std::function<void()> onAccept) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* accept = buttons->addButton(acceptCaption, QDialogButtonBox::AcceptRole);
  QPushButton* reject = buttons->addButton(rejectCaption, QDialogButtonBox::RejectRole);
  if (!onAccept) onAccept = [dialog] { dialog->accept(); };
  QObject::connect(accept, &QPushButton::clicked, dialog, std::move(onAccept));
  QObject::connect(reject, &QPushButton::clicked, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace selvanor
