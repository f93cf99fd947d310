#pragma once

// Spoken cues.  A phrase is handed to the speech engine and the call returns
// at once; the clock tick never waits for a voice.

#include <QList>
#include <QString>
#include <memory>

namespace platform {

class Speech {
public:
    virtual ~Speech() = default;
    // Starts speaking `text` and returns at once.  A phrase still being spoken
    // is cut off.  Without an engine nothing is spoken and nothing reported.
    virtual void say(const QString &text) = 0;
    virtual bool isAvailable() const = 0;
    // Why nothing can be spoken, in words for the user (a tooltip); empty
    // while speech is available.
    virtual QString unavailableReason() const = 0;
};

// The program's speech, created on first use.
Speech &speech();
// Installs a replacement (nullptr restores the real one).
void setSpeech(Speech *replacement);

// Speech through the system's text-to-speech engines.  `engine` names one
// ("speechd", "flite"); empty picks the speech service where installed, else
// the offline voice, else whatever engine there is.
std::unique_ptr<Speech> makeSystemSpeech(const QString &engine = QString());

// What the procedure announces.
enum class SpokenCue {
    FroPhase,          // entry into the Fro-Phase
    RestAfterFro,      // entry into the Rest after Fro-Phase
    ToPhase,           // entry into the To-Phase
    RestAfterTo,       // entry into the Rest after To-Phase
    Repetition,        // a repetition begins; number = the repetition
    RestBetweenSets,   // a rest between sets begins
    RestWarning,       // ten seconds of the rest between sets are left
    SetStart,          // a set begins; number = the set
    TestOver,          // the test stops
};

struct SpokenEvent {
    SpokenCue cue;
    int number = 0;
};

// The words for one cue: "Down", "Hold", "Up", "Hold", "Three", "Rest",
// "Ten seconds", "Set two", "Test over".
QString spokenPhrase(SpokenCue cue, int number = 0);

// One phrase for everything announced on the same tick, in order, such as
// "Three. Down" for a repetition that begins with its Fro-Phase.  A second
// say() would cut the first phrase off, so a tick says this phrase once.
QString spokenPhrase(const QList<SpokenEvent> &events);

// An English whole number in words, "one" to "nine hundred ninety-nine";
// other numbers in digits.
QString numberInWords(int number);

} // namespace platform
