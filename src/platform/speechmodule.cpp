// The speech module: QTextToSpeech behind the two functions of
// platform/speechengine.h.

#include "platform/speechengine.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTextToSpeech>

#include <memory>

namespace {

// The engine synthesises and plays on its own threads, so say() only hands
// the text over.
class TextToSpeechVoice final : public platform::SpeechVoice {
public:
    explicit TextToSpeechVoice(QTextToSpeech *engine)
        : m_engine(engine)
    {
    }
    ~TextToSpeechVoice() override { delete m_engine; }

    void say(const QString &text) override
    {
        if (!m_engine || text.isEmpty())
            return;
        if (m_engine->state() == QTextToSpeech::Speaking)
            m_engine->stop(QTextToSpeech::BoundaryHint::Immediate);
        m_engine->say(text);
    }

private:
    QPointer<QTextToSpeech> m_engine;   // gone once the application has ended
};

} // namespace

extern "C" Q_DECL_EXPORT QStringList korvaneSpeechEngines()
{
    return QTextToSpeech::availableEngines();
}

extern "C" Q_DECL_EXPORT platform::SpeechStart korvaneStartSpeech(const QString &name)
{
    // Owned by the application object as well, so the engine and its
    // threads end with the application and not after it, when the
    // program's own statics are destroyed.
    auto engine = std::make_unique<QTextToSpeech>(name, QCoreApplication::instance());
    // An engine that cannot reach a sound output says so at once, with the
    // state still Ready; a working one leaves the text empty.
    platform::SpeechStart start;
    start.failed = engine->state() == QTextToSpeech::Error;
    start.error = engine->errorString();
    if (engine->engine() == name && !start.failed && start.error.isEmpty())
        start.voice = new TextToSpeechVoice(engine.release());
    return start;
}
