// "분석 문헌 가져오기": imports analysed text as corpora are distributed (UTF-8, UTF-16 or
// CP949, with markup) or a CoNLL-U file into an analysis document. The checks, the
// serial-prefix question and the messages are the ones `selvanor-cli import` gives
// (store/interchange/import_decisions.h).
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace selvanor {

class UserInteraction;

class ImportDocumentDialog : public QDialog {
  Q_OBJECT
 public:
  // `openDocument`: the document the grid has open (empty when none); it is never replaced.
  ImportDocumentDialog(UserInteraction& ui, std::string openDocument, QWidget* parent = nullptr);

  // Asks for the 7-character prefix (CP949); nullopt when the user closed the prompt. The
  // default shows SerialPrefixDialog; tests replace it.
  using PrefixPrompt = std::function<std::optional<std::string>()>;
  void setPrefixPrompt(PrefixPrompt prompt) { askPrefix_ = std::move(prompt); }

  void chooseInput();   // "가져올 파일 선택"
  void chooseOutput();  // "저장 파일 지정"
  // "가져오기": checks, import, message. The dialog stays open.
  void runImport();

  // The documents imported while the dialog was open, in order.
  const std::vector<std::string>& imported() const { return imported_; }

  QLineEdit* inputField() const { return input_; }
  QLineEdit* outputField() const { return output_; }
  QComboBox* formatBox() const { return format_; }
  QComboBox* encodingBox() const { return encoding_; }
  QCheckBox* attachDaBox() const { return attachDa_; }
  QCheckBox* replaceBox() const { return replace_; }

 private:
  UserInteraction& ui_;
  std::string openDocument_;
  PrefixPrompt askPrefix_;
  std::vector<std::string> imported_;
  QLineEdit* input_;
  QLineEdit* output_;
  QComboBox* format_;
  QComboBox* encoding_;
  QCheckBox* attachDa_;
  QCheckBox* replace_;
};

}  // namespace selvanor
