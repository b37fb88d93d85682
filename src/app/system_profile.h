// The per-user system profile: where the homonym selection window "동음어 사전" keeps its
// last place (section "Selvanor", keys xpos, ypos, x2pos, y2pos). Kept apart from the
// application profile, which holds the frame's bar layout.
#pragma once

class QObject;
class QSettings;

namespace selvanor {

// The user's system profile, owned by `parent`.
[[nodiscard]] QSettings* openSystemProfile(QObject* parent);

}  // namespace selvanor
