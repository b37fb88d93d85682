#include "ui_base/verification_progress.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>

#include <memory>

#include "store/engine/integrity.h"

namespace selvanor {

void installVerificationProgress() {
  // One dialog at a time: verifications run one after another on the window's thread.
  auto dialog = std::make_shared<QPointer<QProgressDialog>>();
  integrity::setWatcher([dialog](const std::string& file, double fraction) {
    QPointer<QProgressDialog>& shown = *dialog;
    if (fraction >= 1.0) {
      if (shown) shown->deleteLater();
      shown = nullptr;
      return true;
    }
    if (!shown) {
      shown = new QProgressDialog(QApplication::activeWindow());
      shown->setWindowTitle(QStringLiteral("파일 검사"));
      shown->setLabelText(QStringLiteral("처음 여는 파일이 손상되지 않았는지 검사하고 있습니다.\n%1")
                              .arg(QFileInfo(QString::fromStdString(file)).fileName()));
      shown->setCancelButtonText(QStringLiteral("취소"));
      shown->setRange(0, 1000);
      shown->setMinimumDuration(0);
      shown->setWindowModality(Qt::ApplicationModal);
      shown->show();
    }
    shown->setValue(static_cast<int>(fraction * 1000));
    QApplication::processEvents();
    return !shown->wasCanceled();
  });
}

}  // namespace selvanor
