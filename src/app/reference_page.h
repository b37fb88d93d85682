// The reference page "분석 참조" of the dictionary bar: the records that hold a word,
// looked up in the reference file of the open document.
#pragma once

#include "app/dictionary_sheet.h"

namespace selvanor {

class UserInteraction;

class CRefPage : public DictionaryPage {
  Q_OBJECT
 public:
  explicit CRefPage(UserInteraction& ui, QWidget* parent = nullptr);

 private:
  UserInteraction& ui_;
};

}  // namespace selvanor
