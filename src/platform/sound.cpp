#include "platform/sound.h"

#include <QApplication>

namespace platform {
namespace {

// Placeholder until the ALSA output lands: beeps through the toolkit only.
class ToolkitSound final : public SoundOutput {
public:
    void playWave(const QString &) override {}
    void beep() override { QApplication::beep(); }
};

ToolkitSound toolkitSound;
SoundOutput *installedOutput = nullptr;

} // namespace

SoundOutput &soundOutput()
{
    return installedOutput ? *installedOutput : toolkitSound;
}

void setSoundOutput(SoundOutput *output)
{
    installedOutput = output;
}

} // namespace platform
