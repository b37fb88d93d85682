#include "ui_base/operation_progress.h"

#include <QCoreApplication>

#include <algorithm>
#include <QProgressBar>
#include <QProgressDialog>

namespace selvanor {

OperationProgress::OperationProgress(QWidget* parent, const QString& label, bool cancellable,
                                     QProgressBar* mirror)
    : dialog_(std::make_unique<QProgressDialog>(parent)), mirror_(mirror), cancellable_(cancellable) {
  dialog_->setObjectName(QStringLiteral("operationProgress"));
  dialog_->setWindowTitle(QStringLiteral("진행 상황"));
  dialog_->setLabelText(label);
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setMinimumDuration(300);
  dialog_->setMinimumWidth(360);
  if (cancellable) {
    dialog_->setCancelButtonText(QStringLiteral("취 소"));
  } else {
    dialog_->setCancelButton(nullptr);
  }
  dialog_->setRange(0, kSteps);
  dialog_->setValue(0);
  if (mirror_) mirror_->setValue(mirror_->minimum());
}

// Hidden, not closed: closing a progress dialog counts as its cancel.
OperationProgress::~OperationProgress() { dialog_->hide(); }

ProgressFn OperationProgress::callback() {
  return [this](std::uint64_t done, std::uint64_t total) { return update(done, total); };
}

bool OperationProgress::update(std::uint64_t done, std::uint64_t total) {
  if (cancelled()) return false;
  // Between intervals only the numbers change hands; the widgets move at the interval (and
  // at the first report, so that the window answers from the start).
  if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventIntervalMs && done < total) {
    return true;
  }
  sinceEvents_.start();
  if (total == 0) {
    dialog_->setRange(0, 0);  // a busy bar: the whole is not known
  } else {
    if (dialog_->maximum() != kSteps) dialog_->setRange(0, kSteps);
    const std::uint64_t part = std::min(done, total) * kSteps / total;
    dialog_->setValue(static_cast<int>(part));
    if (mirror_) {
      mirror_->setValue(mirror_->minimum() +
                        static_cast<int>(part * static_cast<std::uint64_t>(mirror_->maximum() -
                                                                            mirror_->minimum()) /
                                         kSteps));
    }
  }
  QCoreApplication::processEvents();
  return !cancelled();
}

void OperationProgress::finish() {
  if (!cancelled()) {
    dialog_->setRange(0, kSteps);
    dialog_->setValue(kSteps);
    if (mirror_) mirror_->setValue(mirror_->maximum());
  }
  dialog_->hide();
}

bool OperationProgress::cancelled() const { return cancellable_ && dialog_->wasCanceled(); }

}  // namespace selvanor
