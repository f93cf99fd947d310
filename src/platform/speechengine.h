#pragma once

// What the speech module (korvane_speech, loaded at the first use of
// speech) offers: the system's text-to-speech engines.  Only this header is
// shared between the module and the program, so the module carries no copy
// of the program's own code.

#include <QString>
#include <QStringList>

namespace platform {

// One started engine.
class SpeechVoice {
public:
    virtual ~SpeechVoice() = default;
    // Starts speaking `text` and returns at once; a phrase still being
    // spoken is cut off.
    virtual void say(const QString &text) = 0;
};

// How starting an engine went.
struct SpeechStart {
    SpeechVoice *voice = nullptr;   // the caller's to delete; null when it failed
    bool failed = false;            // the engine reported an error state
    QString error;                  // the engine's own words; may be empty
};

// The module's two functions, exported under these names.
using SpeechEnginesFunction = QStringList (*)();
using StartSpeechFunction = SpeechStart (*)(const QString &engine);
inline constexpr char kSpeechEnginesSymbol[] = "korvaneSpeechEngines";
inline constexpr char kStartSpeechSymbol[] = "korvaneStartSpeech";

} // namespace platform
