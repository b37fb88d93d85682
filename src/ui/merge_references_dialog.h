// "참조 파일 합치기": appends the items of one reference file to another. The checks and
// messages are the ones the command line makes (store/reference/reference_file.h).
#pragma once

#include "ui/file_pair_dialog.h"

namespace selvanor {

class MergeReferencesDialog : public FilePairDialog {
  Q_OBJECT
 public:
  explicit MergeReferencesDialog(UserInteraction& ui, QWidget* parent = nullptr);

  // Checks, merge, message; closes (accepted) only when the merge succeeded.
  void confirm() override;

 signals:
  // A merge into `base` finished (also a partial one: the file has changed).
  void merged(const QString& base);
};

}  // namespace selvanor
