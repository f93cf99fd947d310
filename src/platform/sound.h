#pragma once

#include <QString>
#include <QStringList>

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
};

SoundOutput &soundOutput();
// Installs a replacement output (nullptr restores the real one).
void setSoundOutput(SoundOutput *output);

// Records what was asked to play, for tests: "wave:<name>" or "beep".
class RecordingSound final : public SoundOutput {
public:
    void playWave(const QString &fileName) override { played << QStringLiteral("wave:") + fileName; }
    void beep() override { played << QStringLiteral("beep"); }
    QStringList played;
};

} // namespace platform
