#include "app/homonym_page.h"

namespace selvanor {

CDicPage::CDicPage(UserInteraction& ui, QWidget* parent)
    : DictionaryPage(QStringLiteral("동음어"), parent), ui_(ui) {}

}  // namespace selvanor
