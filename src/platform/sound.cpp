#include "platform/sound.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include "platform/winsound.h"
#else
#include "platform/alsasound.h"
#endif

namespace platform {

SoundOutput &deviceSoundOutput()
{
    // Created on first use, so nothing touches ALSA before a sound is wanted.
#ifdef Q_OS_WIN
    static WinSound output;
#else
    static AlsaSound output;
#endif
    return output;
}

void useDeviceSoundOutput()
{
    setSystemSoundOutput(&deviceSoundOutput);
}

} // namespace platform
