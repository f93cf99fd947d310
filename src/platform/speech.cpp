#include "platform/speech.h"

#include "platform/modules.h"
#include "platform/speechengine.h"

#include <QCoreApplication>
#include <QStringList>

namespace platform {
namespace {

// Speech through the system's engines, reached through the speech module.
class SystemSpeech final : public Speech {
public:
    explicit SystemSpeech(const QString &wanted)
    {
        QString missing;
        const auto engines =
            moduleFunction<SpeechEnginesFunction>(QStringLiteral("speech"), kSpeechEnginesSymbol, &missing);
        const auto startEngine =
            moduleFunction<StartSpeechFunction>(QStringLiteral("speech"), kStartSpeechSymbol, &missing);
        if (!engines || !startEngine) {
            m_reason = QCoreApplication::translate("Speech", "Speech is not available (%1).").arg(missing);
            return;
        }
        const QStringList installed = engines();
        QStringList candidates;
        if (!wanted.isEmpty()) {
            candidates << wanted;
        } else {
            // The speech service speaks with the voice the user chose for the
            // desktop; the offline voice needs nothing running.
            for (const QString &name : {QStringLiteral("speechd"), QStringLiteral("flite")})
                if (installed.contains(name))
                    candidates << name;
            for (const QString &name : installed)
                if (!candidates.contains(name))
                    candidates << name;
        }
        if (candidates.isEmpty()) {
            m_reason = QCoreApplication::translate("Speech", "No speech engine is installed.");
            return;
        }
        for (const QString &name : candidates) {
            if (!installed.contains(name)) {
                if (m_reason.isEmpty())
                    m_reason = QCoreApplication::translate("Speech", "The speech engine \"%1\" is not installed.")
                                   .arg(name);
                continue;
            }
            const SpeechStart started = startEngine(name);
            if (started.voice) {
                m_voice.reset(started.voice);
                m_reason.clear();
                return;
            }
            const QString problem = started.failed && started.error.isEmpty()
                                        ? QCoreApplication::translate("Speech", "the engine failed to start")
                                        : started.error;
            if (m_reason.isEmpty())
                m_reason = QCoreApplication::translate("Speech", "Speech is not available (%1).").arg(problem);
        }
    }

    void say(const QString &text) override
    {
        if (m_voice)
            m_voice->say(text);
    }

    bool isAvailable() const override { return m_voice != nullptr; }
    QString unavailableReason() const override { return m_reason; }

private:
    std::unique_ptr<SpeechVoice> m_voice;
    QString m_reason;
};

Speech *installedSpeech = nullptr;

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

Speech &speech()
{
    if (installedSpeech)
        return *installedSpeech;
    // Created on first use, after the application object exists.
    static const std::unique_ptr<Speech> system = makeSystemSpeech();
    return *system;
}

void setSpeech(Speech *replacement)
{
    installedSpeech = replacement;
}

std::unique_ptr<Speech> makeSystemSpeech(const QString &engine)
{
    return std::make_unique<SystemSpeech>(engine);
}

QString numberInWords(int number)
{
    static const char *const ones[] = {"zero", "one", "two", "three", "four", "five", "six",
                                       "seven", "eight", "nine", "ten", "eleven", "twelve",
                                       "thirteen", "fourteen", "fifteen", "sixteen",
                                       "seventeen", "eighteen", "nineteen"};
    static const char *const tens[] = {"", "", "twenty", "thirty", "forty", "fifty",
                                       "sixty", "seventy", "eighty", "ninety"};
    if (number < 0 || number > 999)
        return QString::number(number);
    if (number < 20)
        return QString::fromLatin1(ones[number]);
    if (number < 100) {
        QString words = QString::fromLatin1(tens[number / 10]);
        if (number % 10)
            words += u'-' + QString::fromLatin1(ones[number % 10]);
        return words;
    }
    QString words = QString::fromLatin1(ones[number / 100]) + QStringLiteral(" hundred");
    if (number % 100)
        words += u' ' + numberInWords(number % 100);
    return words;
}

QString spokenPhrase(SpokenCue cue, int number)
{
    switch (cue) {
    case SpokenCue::FroPhase:
        return QStringLiteral("Down");
    case SpokenCue::RestAfterFro:
    case SpokenCue::RestAfterTo:
        return QStringLiteral("Hold");
    case SpokenCue::ToPhase:
        return QStringLiteral("Up");
    case SpokenCue::Repetition:
        return capitalised(numberInWords(number));
    case SpokenCue::RestBetweenSets:
        return QStringLiteral("Rest");
    case SpokenCue::RestWarning:
        return QStringLiteral("Ten seconds");
    case SpokenCue::SetStart:
        return QStringLiteral("Set ") + numberInWords(number);
    case SpokenCue::TestOver:
        return QStringLiteral("Test over");
    }
    return {};
}

QString spokenPhrase(const QList<SpokenEvent> &events)
{
    QStringList parts;
    for (const SpokenEvent &event : events)
        parts << spokenPhrase(event.cue, event.number);
    return parts.join(QStringLiteral(". "));
}

} // namespace platform
