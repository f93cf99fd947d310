// A failing user action shows its message and the program goes on.

#include "core/errors.h"
#include "platform/guard.h"
#include "platform/messages.h"

#include <QTest>
#include <QWidget>

#include <stdexcept>

namespace {

// Records every box instead of showing it.
class RecordingBoxes final : public platform::MessageBoxes {
public:
    struct Box {
        QString kind;
        QWidget *parent;
        QString text;
    };

    void inform(QWidget *parent, const QString &text) override
    {
        boxes.append({QStringLiteral("inform"), parent, text});
    }
    void titled(QWidget *parent, const QString &, const QString &text) override
    {
        boxes.append({QStringLiteral("titled"), parent, text});
    }
    void error(QWidget *parent, const QString &text) override
    {
        boxes.append({QStringLiteral("error"), parent, text});
    }
    bool confirm(QWidget *parent, const QString &text) override
    {
        boxes.append({QStringLiteral("confirm"), parent, text});
        return false;
    }

    QList<Box> boxes;
};

enum class Failure { Action, Conversion, Standard, Unknown };

void fail(Failure failure, const QString &message)
{
    switch (failure) {
    case Failure::Action:
        throw core::Failure(message);
    case Failure::Conversion:
        throw core::Failure(message);
    case Failure::Standard:
        throw std::runtime_error(message.toStdString());
    case Failure::Unknown:
        throw 42;
    }
}

} // namespace

Q_DECLARE_METATYPE(Failure)

class TestGuard : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void failureShown_data();
    void failureShown();
    void unknownFailureShown();
    void successShowsNothing();
    void nestedFailureEndsOnlyInnerAction();

private:
    RecordingBoxes m_boxes;
};

void TestGuard::init()
{
    m_boxes.boxes.clear();
    platform::setMessageBoxes(&m_boxes);
}

void TestGuard::cleanup()
{
    platform::setMessageBoxes(nullptr);
}

void TestGuard::failureShown_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::addColumn<QString>("message");

    QTest::newRow("action error") << Failure::Action
                                  << QStringLiteral("Couldn't find  Profil Name.");
    QTest::newRow("conversion error") << Failure::Conversion
                                      << QStringLiteral("'abc' ist kein gültiger Integerwert");
    QTest::newRow("standard exception") << Failure::Standard
                                        << QStringLiteral("Datei »Korvane.csv« gesperrt");
}

// The action ends at the throw; what it did before stays done, and exactly one
// error box over the given window carries the message.
void TestGuard::failureShown()
{
    QFETCH(Failure, failure);
    QFETCH(QString, message);

    QWidget window;
    int before = 0;
    int after = 0;
    const bool ran = platform::runGuarded(&window, [&] {
        ++before;
        fail(failure, message);
        ++after;
    });

    QVERIFY(!ran);
    QCOMPARE(before, 1);
    QCOMPARE(after, 0);
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].kind, QStringLiteral("error"));
    QCOMPARE(m_boxes.boxes[0].parent, &window);
    QCOMPARE(m_boxes.boxes[0].text, message);
}

void TestGuard::unknownFailureShown()
{
    QStringList log;
    const bool ran = platform::runGuarded(nullptr, [&] {
        log << QStringLiteral("written");
        fail(Failure::Unknown, QString());
    });

    QVERIFY(!ran);
    QCOMPARE(log, QStringList{QStringLiteral("written")});
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].kind, QStringLiteral("error"));
    QVERIFY(!m_boxes.boxes[0].text.isEmpty());
}

void TestGuard::successShowsNothing()
{
    int runs = 0;
    QVERIFY(platform::runGuarded(nullptr, [&] { ++runs; }));
    QCOMPARE(runs, 1);
    QVERIFY(m_boxes.boxes.isEmpty());
}

// A handler called from another handler shows its own failure; the caller
// goes on with what follows.
void TestGuard::nestedFailureEndsOnlyInnerAction()
{
    bool innerRan = true;
    int afterInner = 0;
    const bool outerRan = platform::runGuarded(nullptr, [&] {
        innerRan = platform::runGuarded(nullptr, [] {
            fail(Failure::Action, QStringLiteral("inner"));
        });
        ++afterInner;
    });

    QVERIFY(outerRan);
    QVERIFY(!innerRan);
    QCOMPARE(afterInner, 1);
    QCOMPARE(m_boxes.boxes.size(), 1);
    QCOMPARE(m_boxes.boxes[0].text, QStringLiteral("inner"));
}

QTEST_MAIN(TestGuard)
#include "tst_guard.moc"
