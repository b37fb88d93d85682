// "분석 문헌 만들기": builds an analysis document from analysed text, asking for a serial
// prefix ("일련 번호 생성") when the text has no serial numbers. The checks and messages
// are the ones the command line makes (store/document/build_decisions.h).
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLineEdit;
class QProgressBar;

namespace selvanor {

class UserInteraction;

class BuildDocumentDialog : public QDialog {
  Q_OBJECT
 public:
  // `openDocument`: the document the grid has open (empty when none); it is never rebuilt.
  BuildDocumentDialog(UserInteraction& ui, std::string openDocument, QWidget* parent = nullptr);

  // Asks for the 7-character prefix; nullopt when the user closed the prompt. The default
  // shows SerialPrefixDialog; tests replace it.
  using PrefixPrompt = std::function<std::optional<std::string>()>;
  void setPrefixPrompt(PrefixPrompt prompt) { askPrefix_ = std::move(prompt); }

  void chooseInput();
  void chooseOutput();
  // "분석 문헌 만들기": checks, build, message. The dialog stays open.
  void build();

  QLineEdit* inputField() const { return input_; }
  QLineEdit* outputField() const { return output_; }
  QCheckBox* attachDaBox() const { return attachDa_; }

 private:
  UserInteraction& ui_;
  std::string openDocument_;
  PrefixPrompt askPrefix_;
  QLineEdit* input_;
  QLineEdit* output_;
  QCheckBox* attachDa_;
  QProgressBar* progress_;
};

// "일련 번호 생성": takes exactly 7 characters (CP949), refusing shorter entries with
// "일련 번호를 넣어 주세요." while staying open.
class SerialPrefixDialog : public QDialog {
  Q_OBJECT
 public:
  explicit SerialPrefixDialog(UserInteraction& ui, QWidget* parent = nullptr);
  QLineEdit* field() const { return field_; }
  // The accepted prefix in CP949.
  const std::string& prefix() const { return prefix_; }
  void tryAccept();

  // The prompt the build and import dialogs ask for a prefix with: this dialog over
  // `parent`, the prefix when accepted.
  static std::function<std::optional<std::string>()> prompt(UserInteraction& ui, QWidget* parent);

 private:
  UserInteraction& ui_;
  QLineEdit* field_;
  std::string prefix_;
};

}  // namespace selvanor
