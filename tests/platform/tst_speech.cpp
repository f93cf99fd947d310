#include "platform/speech.h"
#include "support/recordingspeech.h"

#include <QtTest>

using platform::SpokenCue;
using platform::SpokenEvent;

Q_DECLARE_METATYPE(QList<SpokenEvent>)

class TestSpeech : public QObject {
    Q_OBJECT
private slots:
    void phrases_data();
    void phrases();
    void numbers_data();
    void numbers();
    void replacementIsUsedAndRemoved();
    void missingEngineGivesReason();
    void systemSpeechExplainsItself();
};

void TestSpeech::phrases_data()
{
    QTest::addColumn<QList<SpokenEvent>>("events");
    QTest::addColumn<QString>("phrase");
    using E = SpokenEvent;
    QTest::newRow("Fro-Phase") << QList<E>{{SpokenCue::FroPhase}} << "Down";
    QTest::newRow("rest after Fro-Phase") << QList<E>{{SpokenCue::RestAfterFro}} << "Hold";
    QTest::newRow("To-Phase") << QList<E>{{SpokenCue::ToPhase}} << "Up";
    QTest::newRow("rest after To-Phase") << QList<E>{{SpokenCue::RestAfterTo}} << "Hold";
    QTest::newRow("repetition 1") << QList<E>{{SpokenCue::Repetition, 1}} << "One";
    QTest::newRow("repetition 21") << QList<E>{{SpokenCue::Repetition, 21}} << "Twenty-one";
    QTest::newRow("rest between sets") << QList<E>{{SpokenCue::RestBetweenSets}} << "Rest";
    QTest::newRow("rest warning") << QList<E>{{SpokenCue::RestWarning}} << "Ten seconds";
    QTest::newRow("set 2") << QList<E>{{SpokenCue::SetStart, 2}} << "Set two";
    QTest::newRow("set 12") << QList<E>{{SpokenCue::SetStart, 12}} << "Set twelve";
    QTest::newRow("stop") << QList<E>{{SpokenCue::TestOver}} << "Test over";
    QTest::newRow("repetition with its Fro-Phase")
        << QList<E>{{SpokenCue::Repetition, 3}, {SpokenCue::FroPhase}} << "Three. Down";
    QTest::newRow("nothing") << QList<E>{} << "";
}

void TestSpeech::phrases()
{
    QFETCH(QList<SpokenEvent>, events);
    QFETCH(QString, phrase);
    QCOMPARE(platform::spokenPhrase(events), phrase);
}

void TestSpeech::numbers_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("words");
    QTest::newRow("13") << 13 << "thirteen";
    QTest::newRow("40") << 40 << "forty";
    QTest::newRow("115") << 115 << "one hundred fifteen";
    QTest::newRow("999") << 999 << "nine hundred ninety-nine";
    QTest::newRow("1000 in digits") << 1000 << "1000";
    QTest::newRow("negative in digits") << -1 << "-1";
}

void TestSpeech::numbers()
{
    QFETCH(int, number);
    QFETCH(QString, words);
    QCOMPARE(platform::numberInWords(number), words);
}

void TestSpeech::replacementIsUsedAndRemoved()
{
    {
        InstalledSpeech installed;
        platform::speech().say(QStringLiteral("Up"));
        QCOMPARE(installed.speech.said, QStringList{QStringLiteral("Up")});
        QCOMPARE(&platform::speech(), &installed.speech);
    }
    QVERIFY(dynamic_cast<RecordingSpeech *>(&platform::speech()) == nullptr);
}

void TestSpeech::missingEngineGivesReason()
{
    const auto speech = platform::makeSystemSpeech(QStringLiteral("no-such-engine"));
    QVERIFY(!speech->isAvailable());
    QCOMPARE(speech->unavailableReason(),
             QStringLiteral("The speech engine \"no-such-engine\" is not installed."));
    speech->say(QStringLiteral("Down"));   // nothing to speak with: no effect, no failure
}

void TestSpeech::systemSpeechExplainsItself()
{
    // Whether this machine can speak depends on its engines and sound
    // output; either way the box's state and tooltip must agree.
    const auto speech = platform::makeSystemSpeech();
    QCOMPARE(speech->unavailableReason().isEmpty(), speech->isAvailable());
    speech->say(QStringLiteral("Set two"));
    speech->say(QStringLiteral("Test over"));
}

QTEST_GUILESS_MAIN(TestSpeech)
#include "tst_speech.moc"
