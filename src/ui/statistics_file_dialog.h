// "통계 파일 만들기": builds the statistics file of the open document (a.id -> a.stt).
#pragma once

#include "ui/document_file_dialog.h"

namespace selvanor {

class StatisticsFileDialog : public DocumentFileDialog {
  Q_OBJECT
 public:
  StatisticsFileDialog(UserInteraction& ui, const std::string& document, QWidget* parent = nullptr);

 private:
  Outcome makeFile(const ProgressFn& progress) override;
};

}  // namespace selvanor
