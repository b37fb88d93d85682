// Why the store last refused a file, in the user's words (UTF-8: "다른 프로그램이 이 파일을
// 고치고 있습니다: FILE", a damaged file, no space), so that the message box or the terminal
// can say it under the operation's own message. One per thread; the boundary that shows a
// failure takes it (and so clears it).
#pragma once

#include <string>

namespace selvanor {

// Records the reason (the last one wins).
void noteRefusal(std::string text);
// The reason recorded since the last take, or empty; clears it.
[[nodiscard]] std::string takeRefusal();
// The reason recorded, left in place.
[[nodiscard]] const std::string& peekRefusal();

}  // namespace selvanor
