#pragma once

// Stands in for the desktop's screen saver: records what the program asks,
// "inhibit:<reason>" or "release", and installs itself for its lifetime.

#include "platform/screensaver.h"

#include <QStringList>

class RecordingScreenSaver final : public platform::ScreenSaver {
public:
    RecordingScreenSaver() { platform::setScreenSaver(this); }
    ~RecordingScreenSaver() override { platform::setScreenSaver(nullptr); }
    RecordingScreenSaver(const RecordingScreenSaver &) = delete;
    RecordingScreenSaver &operator=(const RecordingScreenSaver &) = delete;

    void inhibit(const QString &reason) override
    {
        calls << QStringLiteral("inhibit:") + reason;
        held = true;
    }
    void release() override
    {
        calls << QStringLiteral("release");
        held = false;
    }

    QStringList calls;
    bool held = false;
};
