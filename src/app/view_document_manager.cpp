// The view's handler of the corpus manager "분석 문헌 관리": the document list, its batch
// jobs and the opening of a document into the grid.
#include "ui_base/qt_text.h"
#include "app/selvanor_view.h"
#include "ui/corpus_manager_dialog.h"

namespace selvanor {

void CSelvanorView::manageDocumentsCommand() {
  // Without a document list (no settings were read) the document is chosen directly.
  if (context_.documentListFile.empty()) {
    openDocumentCommand();
    return;
  }
  const std::string folder = settings_ ? settings_->documentFolder() : std::string();
  CorpusManagerDialog dialog(ui_, context_.documentListFile, folder,
                             gridLoaded_ ? context_.currentDocument : std::string(), this);
  dialog.exec();
  if (!dialog.concordanceDocuments().empty()) {
    showConcordance(dialog.concordanceDocuments());
    return;
  }
  if (const std::optional<std::string>& chosen = dialog.chosenDocument()) {
    chooseDocument(fromNativePath(*chosen));
  }
  startAnalysis();  // after a cancel this reloads the document already chosen, if any
}

}  // namespace selvanor
