// "참조 파일 만들기": builds the reference file of the open document (a.id -> a.idx, corpus.db -> corpus.idx).
#pragma once

#include "ui/document_file_dialog.h"

namespace selvanor {

class BuildReferenceDialog : public DocumentFileDialog {
  Q_OBJECT
 public:
  BuildReferenceDialog(UserInteraction& ui, const std::string& document, QWidget* parent = nullptr);

 private:
  Outcome makeFile(const ProgressFn& progress) override;
};

}  // namespace selvanor
