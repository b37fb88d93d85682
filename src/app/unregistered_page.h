// The unregistered-word page "미등재어 사전" of the dictionary bar: prefix look-up and
// editing of the unregistered-word dictionary named in the settings.
#pragma once

#include "app/dictionary_sheet.h"

namespace selvanor {

class UserInteraction;

class CMiPage : public DictionaryPage {
  Q_OBJECT
 public:
  explicit CMiPage(UserInteraction& ui, QWidget* parent = nullptr);

 private:
  UserInteraction& ui_;
};

}  // namespace selvanor
