#include "platform/sound.h"

#include "platform/alsasound.h"

namespace platform {
namespace {

SoundOutput *installedOutput = nullptr;

// Created on first use, so nothing touches ALSA before a sound is wanted.
SoundOutput &deviceOutput()
{
    static AlsaSound output;
    return output;
}

} // namespace

SoundOutput &soundOutput()
{
    return installedOutput ? *installedOutput : deviceOutput();
}

void setSoundOutput(SoundOutput *output)
{
    installedOutput = output;
}

} // namespace platform
