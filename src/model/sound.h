#pragma once

#include <QString>

namespace platform {

// Sound output.  Both calls are synchronous: they return when the sound has
// ended.  Without a sound device nothing plays and nothing is reported.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Plays a wave file found by its name (relative names: the working folder).
    // A missing or unreadable file plays a short built-in cue instead.
    virtual void playWave(const QString &fileName) = 0;
    // The default beep.
    virtual void beep() = 0;
    // While prepared, the output keeps its device open and set up, so that a
    // cue starts without the delay of waking the device.  A test holds the
    // output prepared from its first set start to its stop.
    virtual void setPrepared(bool prepared) { static_cast<void>(prepared); }
};

// The installed output, else the system's, else one that plays nothing.
SoundOutput &soundOutput();
// Installs a replacement output (nullptr restores the system's).
void setSoundOutput(SoundOutput *output);
// Names the system's output, made by `systemOutput` on first use, so that
// nothing touches a sound device before a sound is wanted.
void setSystemSoundOutput(SoundOutput &(*systemOutput)());

} // namespace platform
