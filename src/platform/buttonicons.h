#pragma once

#include <QIcon>

namespace platform {

// The pictures on Korvane's buttons, drawn for Korvane and kept in its
// resources, so that they look the same on every desktop and no icon theme
// is searched for them.
enum class ButtonIcon { Play, Stop, Pause, Reset, AthleteView, Save, Open, List, Close };

// The picture, drawn at the size it is asked for when it is first asked for.
QIcon buttonIcon(ButtonIcon which);

} // namespace platform
