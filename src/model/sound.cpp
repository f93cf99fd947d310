#include "model/sound.h"

namespace platform {
namespace {

SoundOutput *installedOutput = nullptr;
SoundOutput &(*systemOutputMaker)() = nullptr;

// Where no system output is named (a tool, a test): every cue is silent.
class SilentOutput : public SoundOutput {
public:
    void playWave(const QString &) override {}
    void beep() override {}
};

} // namespace

SoundOutput &soundOutput()
{
    if (installedOutput)
        return *installedOutput;
    if (systemOutputMaker)
        return systemOutputMaker();
    static SilentOutput silent;
    return silent;
}

void setSoundOutput(SoundOutput *output)
{
    installedOutput = output;
}

void setSystemSoundOutput(SoundOutput &(*systemOutput)())
{
    systemOutputMaker = systemOutput;
}

} // namespace platform
