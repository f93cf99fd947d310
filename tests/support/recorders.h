#pragma once

// Stand-ins for the screen, the wall clock and the speaker, so that tests
// drive windows without a display, at any time of day, in milliseconds.

#include "platform/messages.h"
#include "support/manualclock.h"
#include "support/recordingsound.h"

#include <QStringList>
#include <functional>

// Records every box instead of showing it.  `onShow` runs while a box is
// "open", as the timer's ticks would.
class RecordingBoxes final : public platform::MessageBoxes {
public:
    void inform(QWidget *, const QString &text) override { record(QStringLiteral("inform:") + text); }
    void titled(QWidget *, const QString &title, const QString &text) override
    {
        record(QStringLiteral("titled:") + title + u':' + text);
    }
    void error(QWidget *, const QString &text) override { record(QStringLiteral("error:") + text); }
    bool confirm(QWidget *, const QString &text) override
    {
        record(QStringLiteral("confirm:") + text);
        return answer;
    }
    platform::SaveAnswer askToSave(QWidget *, const QString &text, bool cancellable) override
    {
        record((cancellable ? QStringLiteral("save?:") : QStringLiteral("save:")) + text);
        return saveAnswer;
    }
    std::optional<QString> askPassword(QWidget *, const QString &title, const QString &label) override
    {
        record(QStringLiteral("password:") + title + u':' + label);
        return password;
    }

    QStringList shown;
    bool answer = true;
    std::optional<QString> password;    // what the password box is given
    platform::SaveAnswer saveAnswer = platform::SaveAnswer::Discard;
    std::function<void()> onShow;

private:
    void record(const QString &entry)
    {
        shown << entry;
        if (onShow)
            onShow();
    }
};

// Installs the three stand-ins for the lifetime of the object.
struct TestPlatform {
    ManualClock clock;
    RecordingSound sound;
    RecordingBoxes boxes;

    TestPlatform()
    {
        platform::setWallClock(&clock);
        platform::setSoundOutput(&sound);
        platform::setMessageBoxes(&boxes);
    }
    ~TestPlatform()
    {
        platform::setWallClock(nullptr);
        platform::setSoundOutput(nullptr);
        platform::setMessageBoxes(nullptr);
    }
    TestPlatform(const TestPlatform &) = delete;
    TestPlatform &operator=(const TestPlatform &) = delete;
};
