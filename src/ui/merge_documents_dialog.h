// "분석문헌 합치기": copies every record of one analysis document into another. The checks
// and messages are the ones the command line makes (store/document_merge.h).
#pragma once

#include <functional>
#include <string>

#include "ui/file_pair_dialog.h"

namespace selvanor {

// The document the grid has open, and how to let go of it while another operation
// writes into it: the grid's handle would keep pages of the old content.
struct OpenDocumentHandle {
  std::string path;               // empty when the grid has none open
  std::function<void()> release;  // closes the grid's handle
  std::function<void()> reload;   // reopens it and shows the document afresh
};

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
