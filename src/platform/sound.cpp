#include "platform/sound.h"

#include "platform/alsasound.h"

namespace platform {

SoundOutput &deviceSoundOutput()
{
    // Created on first use, so nothing touches ALSA before a sound is wanted.
    static AlsaSound output;
    return output;
}

void useDeviceSoundOutput()
{
    setSystemSoundOutput(&deviceSoundOutput);
}

} // namespace platform
