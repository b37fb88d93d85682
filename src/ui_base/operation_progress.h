// Progress of one long operation run on the user-interface thread. The operation's
// ProgressFn (common/progress.h) moves a progress dialog, and a bar of the calling dialog
// when there is one, and lets the window repaint: events are handled at most every
// kEventIntervalMs, so a per-record callback costs next to nothing. The dialog is
// application-modal while it shows, so nothing else can be started meanwhile; it has a
// 취소 button only for operations that can stop without leaving a half-written file.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>

#include "common/progress.h"

class QProgressBar;
class QProgressDialog;
class QWidget;

namespace selvanor {

class OperationProgress {
 public:
  static constexpr int kEventIntervalMs = 50;
  static constexpr int kSteps = 1000;  // resolution of the dialog's bar

  // `mirror`: a bar of the calling dialog that shows the same progress (0-100), or null.
  OperationProgress(QWidget* parent, const QString& label, bool cancellable,
                    QProgressBar* mirror = nullptr);
  ~OperationProgress();
  OperationProgress(const OperationProgress&) = delete;
  OperationProgress& operator=(const OperationProgress&) = delete;

  // A callback bound to this object, for the operation.
  [[nodiscard]] ProgressFn callback();
  // Shows `done` of `total` (total 0: not known) and returns false once the user cancelled
  // (never for an operation that cannot stop: closing the dialog then changes nothing).
  bool update(std::uint64_t done, std::uint64_t total);
  // Shows the end (the whole done) and hides the dialog.
  void finish();

  [[nodiscard]] bool cancelled() const;
  [[nodiscard]] QProgressDialog* dialog() const { return dialog_.get(); }

 private:
  std::unique_ptr<QProgressDialog> dialog_;
  QPointer<QProgressBar> mirror_;
  QElapsedTimer sinceEvents_;
  bool cancellable_;
};

}  // namespace selvanor
