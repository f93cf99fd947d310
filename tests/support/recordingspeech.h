#pragma once

// A stand-in for the speech engine: records each phrase instead of speaking.

#include "platform/speech.h"

#include <QStringList>

class RecordingSpeech final : public platform::Speech {
public:
    void say(const QString &text) override
    {
        if (available)
            said << text;
    }
    bool isAvailable() const override { return available; }
    QString unavailableReason() const override { return available ? QString() : reason; }

    QStringList said;
    bool available = true;
    QString reason = QStringLiteral("No speech engine is installed.");
};

// Installs a RecordingSpeech for the lifetime of the object.
struct InstalledSpeech {
    RecordingSpeech speech;

    InstalledSpeech() { platform::setSpeech(&speech); }
    ~InstalledSpeech() { platform::setSpeech(nullptr); }
    InstalledSpeech(const InstalledSpeech &) = delete;
    InstalledSpeech &operator=(const InstalledSpeech &) = delete;
};
