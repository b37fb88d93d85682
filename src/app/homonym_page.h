// The homonym page "동음어 검색" of the dictionary bar: look-up and editing of the
// homonym dictionary named in the settings.
#pragma once

#include "app/dictionary_sheet.h"

namespace selvanor {

class UserInteraction;

class CDicPage : public DictionaryPage {
  Q_OBJECT
 public:
  explicit CDicPage(UserInteraction& ui, QWidget* parent = nullptr);

 private:
  UserInteraction& ui_;
};

}  // namespace selvanor
