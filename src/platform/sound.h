#pragma once

#include "model/sound.h"

namespace platform {

// The sound device's output (ALSA's "default").
SoundOutput &deviceSoundOutput();
// Makes it the program's system output.
void useDeviceSoundOutput();

} // namespace platform
