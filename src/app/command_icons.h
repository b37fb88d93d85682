// One icon per main-window command: the desktop icon theme's where it names one for
// the command, else the program's own drawing (data/icons, bundled as a resource).
#pragma once

#include <QIcon>

namespace selvanor {

// The icon of command `id` (command_table.h); a null icon for an unknown id.
[[nodiscard]] QIcon commandIcon(int id);
// The program's own icon (window and about box).
[[nodiscard]] QIcon programIcon();

}  // namespace selvanor
