// Keeping the display on during a test through Windows' power requests.

#include "platform/screensaver.h"

#include "support/screensaver.h"

#include <QTest>

class TstPowerRequest : public QObject {
    Q_OBJECT
private slots:
    void holdAndRelease_data();
    void holdAndRelease();
    void endingGivesTheHoldBack();
    void programUsesTheSystemsUnlessReplaced();
};

void TstPowerRequest::holdAndRelease_data()
{
    // Calls in order ("i": inhibit, "r": release) and whether the display is
    // held after each.
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("held");
    QTest::newRow("hold, release") << "ir" << "10";
    QTest::newRow("asked twice, one hold") << "iir" << "110";
    QTest::newRow("release without hold") << "rr" << "00";
    QTest::newRow("hold again after release") << "irir" << "1010";
}

void TstPowerRequest::holdAndRelease()
{
    QFETCH(QString, calls);
    QFETCH(QString, held);
    platform::PowerRequestScreenSaver saver;
    QString states;
    for (const QChar call : calls) {
        if (call == u'i')
            saver.inhibit(QStringLiteral("A test is running"));
        else
            saver.release();
        states += saver.isHeld() ? u'1' : u'0';
    }
    QCOMPARE(states, held);
}

void TstPowerRequest::endingGivesTheHoldBack()
{
    auto saver = std::make_unique<platform::PowerRequestScreenSaver>();
    saver->inhibit(QStringLiteral("A test is running"));
    QVERIFY(saver->isHeld());
    // Ending with a hold in place must not leak or crash; a new one holds anew.
    saver.reset();
    platform::PowerRequestScreenSaver next;
    next.inhibit(QStringLiteral("Another test"));
    QVERIFY(next.isHeld());
}

void TstPowerRequest::programUsesTheSystemsUnlessReplaced()
{
    QVERIFY(dynamic_cast<platform::PowerRequestScreenSaver *>(&platform::screenSaver()));
    {
        RecordingScreenSaver recording;
        platform::screenSaver().inhibit(QStringLiteral("x"));
        QCOMPARE(recording.calls, QStringList{QStringLiteral("inhibit:x")});
    }
    QVERIFY(dynamic_cast<platform::PowerRequestScreenSaver *>(&platform::screenSaver()));
}

QTEST_GUILESS_MAIN(TstPowerRequest)
#include "tst_powerrequest.moc"
