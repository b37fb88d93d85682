#include "app/reference_page.h"

namespace selvanor {

CRefPage::CRefPage(UserInteraction& ui, QWidget* parent)
    : DictionaryPage(QStringLiteral("참조"), parent), ui_(ui) {}

}  // namespace selvanor
