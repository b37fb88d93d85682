// The document the analysis grid holds open, and how to let go of it while another
// operation writes into it: the grid's handle would keep pages of the old content.
#pragma once

#include <functional>
#include <string>

namespace selvanor {

struct OpenDocumentHandle {
  std::string path;               // empty when the grid has none open
  std::function<void()> release;  // closes the grid's handle
  std::function<void()> reload;   // reopens it and shows the document afresh

  // True when `document` names the file the grid holds open and it can be let go of.
  [[nodiscard]] bool holds(const std::string& document) const;
};

}  // namespace selvanor
