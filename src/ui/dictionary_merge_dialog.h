// "동음어 사전 합치기" / "미등재 사전 합치기": adds the entries of one dictionary ("합칠 사전") to another ("기본 사전"),
// for homonym dictionaries (.dic) or unregistered-word dictionaries (.mdj). The base keeps
// its own entries; the outcome message says whether the merge was done.
#pragma once

#include "ui/file_pair_dialog.h"

namespace selvanor {

enum class DictionaryKind { Homonym, Unregistered };

class DictionaryMergeDialog : public FilePairDialog {
  Q_OBJECT
 public:
  DictionaryMergeDialog(UserInteraction& ui, DictionaryKind kind, QWidget* parent = nullptr);

  QLineEdit* otherField() const { return addedField(); }
  // The row buttons: the chosen path, or an empty field when the chooser is cancelled.
  void chooseOther() { chooseAdded(); }
  // "확 인": merge and message; the dialog stays open.
  void merge();
  void confirm() override { merge(); }

 private:
  DictionaryKind kind_;
};

}  // namespace selvanor
