// One icon per main-window command: the desktop icon theme's where it names one for
// the command, else the program's own drawing (data/icons, bundled as a resource).
#pragma once

#include <QIcon>

namespace selvanor {

// The icon of command `id` (command_table.h); a null icon for an unknown id.
[[nodiscard]] QIcon commandIcon(int id);
// The 편집 menu's 실행 취소 and 다시 실행, chosen the same way as the commands' icons.
[[nodiscard]] QIcon undoIcon();
[[nodiscard]] QIcon redoIcon();
// The program's own icon (window and about box).
[[nodiscard]] QIcon programIcon();

}  // namespace selvanor
