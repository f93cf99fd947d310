#pragma once

// The program's colours, given as red, green and blue.

#include "model/proceduredisplay.h"

#include <QColor>

namespace palette {

// Backgrounds of the windows, the pick lists and the bar panels.
inline const QColor WindowBackground(230, 242, 231);

// The phase name and countdown panels.
inline const QColor Running(0, 255, 128);   // a set runs
inline const QColor Resting(255, 0, 0);     // rest between sets, break
inline const QColor Stopped(255, 255, 0);   // the clock stands

// The panels' colour for what the procedure reports.
inline QColor panelColour(PanelState state)
{
    switch (state) {
    case PanelState::Running: return Running;
    case PanelState::Resting: return Resting;
    case PanelState::Stopped: break;
    }
    return Stopped;
}

// The per-set result slots.
inline const QColor SlotPlain(0, 255, 0);     // lime
inline const QColor SlotCancelled(255, 0, 0);

// The large set and repetition numbers.
inline const QColor LargeNumber(21, 131, 70);

// The bars and phase markers.
inline const QColor FroBar(0, 0, 128);          // navy
inline const QColor ToBar(58, 110, 165);        // the desktop colour
inline const QColor FroMarker(128, 128, 0);     // olive
inline const QColor ToMarker(166, 202, 240);    // sky blue
inline const QColor RestMarker(255, 0, 0);

// The pie gauge.
inline const QColor GaugeFace(255, 255, 0);
inline const QColor GaugePie(0, 0, 255);

// A settings field whose text the clock reads otherwise than it looks.
inline const QColor Attention(255, 0, 0);

} // namespace palette
