// "분석문헌 합치기": copies every record of one analysis document into another. The checks
// and messages are the ones the command line makes (store/document/document_merge.h).
#pragma once

#include "ui/file_pair_dialog.h"
#include "ui_base/open_document_handle.h"

namespace selvanor {

class MergeDocumentsDialog : public FilePairDialog {
  Q_OBJECT
 public:
  // `documentFolder`: where the choosers start (the settings' document folder, may be
  // empty). A base that is the open document is merged with the grid let go of and
  // reloaded; without `release` and `reload` it is refused.
  MergeDocumentsDialog(UserInteraction& ui, const QString& documentFolder,
                       OpenDocumentHandle openDocument, QWidget* parent = nullptr);

  // Checks, merge, message; the dialog stays open.
  void confirm() override;

 private:
  OpenDocumentHandle open_;
};

}  // namespace selvanor
