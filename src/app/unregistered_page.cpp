#include "app/unregistered_page.h"

namespace selvanor {

CMiPage::CMiPage(UserInteraction& ui, QWidget* parent)
    : DictionaryPage(QStringLiteral("미등재어"), parent), ui_(ui) {}

}  // namespace selvanor
