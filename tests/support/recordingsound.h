#pragma once

// A sound output that records what was asked to play: "wave:<name>" or "beep".

#include "model/sound.h"

#include <QStringList>

class RecordingSound final : public platform::SoundOutput {
public:
    void playWave(const QString &fileName) override { played << QStringLiteral("wave:") + fileName; }
    void beep() override { played << QStringLiteral("beep"); }
    void setPrepared(bool on) override { prepared = on; }
    QStringList played;
    bool prepared = false;
};
