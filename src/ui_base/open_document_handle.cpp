#include "ui_base/open_document_handle.h"

#include "common/files.h"

namespace selvanor {

bool OpenDocumentHandle::holds(const std::string& document) const {
  return !path.empty() && release && reload && sameFile(document, path);
}

}  // namespace selvanor
