// The pick-list lines of profiles and athletes, and the completion of a
// test's per-set results before it is stored.

#include "model/records.h"

#include <QTest>

#include <algorithm>

namespace {

// Twenty slot texts: the given ones first, then `fill` for the sets after them.
QStringList slots20(const QStringList &first, const QString &fill)
{
    QStringList all = first;
    while (all.size() < 20)
        all << fill;
    return all;
}

// The slots as a fresh activation leaves them: real times empty, repetitions "0".
QStringList freshReal(const QStringList &first = {}) { return slots20(first, QString()); }
QStringList freshReps(const QStringList &first = {}) { return slots20(first, QStringLiteral("0")); }

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void profileLine_data();
    void profileLine();
    void athleteLine_data();
    void athleteLine();
    void completion_data();
    void completion();
};

void TestRecords::profileLine_data()
{
    QTest::addColumn<QString>("nr");
    QTest::addColumn<QString>("profil");
    QTest::addColumn<QString>("exercise");
    QTest::addColumn<QString>("line");

    QTest::newRow("7 Bench Press, 28 characters")
        << "7" << "Bench" << "Press" << "  7 /      Bench/      Press";
    QTest::newRow("three-digit number fills the key")
        << "999" << "Squat" << "Back" << "999 /      Squat/       Back";
    QTest::newRow("four-digit number runs past the key")
        << "1000" << "A" << "B" << "1000 /          A/          B";
    QTest::newRow("long profile name is not cut")
        << "12" << "Maximalkraft-Test" << "Press" << " 12 / Maximalkraft-Test/      Press";
    QTest::newRow("long exercise is not cut")
        << "3" << "Bench" << "Incline Bench Press" << "  3 /      Bench/ Incline Bench Press";
    QTest::newRow("exactly ten characters take no blank")
        << "4" << "0123456789" << "abcdefghij" << "  4 / 0123456789/ abcdefghij";
    QTest::newRow("empty texts keep the columns")
        << "" << "" << "" << "    /           /           ";
    QTest::newRow("blanks in the texts are kept")
        << "5" << " Bench " << "Press " << "  5 /     Bench /     Press ";
}

void TestRecords::profileLine()
{
    QFETCH(QString, nr);
    QFETCH(QString, profil);
    QFETCH(QString, exercise);
    QFETCH(QString, line);
    const QString built = profileListLine(nr, profil, exercise);
    QCOMPARE(built, line);
    // The line's width is the fixed columns plus whatever runs past them.
    const auto over = [](const QString &text, int width) { return std::max<qsizetype>(0, text.size() - width); };
    QCOMPARE(built.size(), 28 + over(nr, 3) + over(profil, 10) + over(exercise, 10));
}

void TestRecords::athleteLine_data()
{
    QTest::addColumn<QStringList>("fields");   // Nr, Name, Surname, Bodyweight, Height
    QTest::addColumn<QString>("line");

    QTest::newRow("athlete 3, 54 characters")
        << QStringList{"3", "Anna", "Berg", "62", "170"}
        << "  3/           Anna           Berg        62       170";
    QTest::newRow("decimal body weight")
        << QStringList{"41", "Jo", "Li", "62,5", "181,5"}
        << " 41/             Jo             Li      62,5     181,5";
    QTest::newRow("name over 15 characters shifts the columns after it")
        << QStringList{"3", "Annemarie-Luisee", "Berg", "62", "170"}
        << "  3/Annemarie-Luisee           Berg        62       170";
    QTest::newRow("name of 17 characters")
        << QStringList{"3", "Anna-Maria-Luisa!", "Berg", "62", "170"}
        << "  3/Anna-Maria-Luisa!           Berg        62       170";
    QTest::newRow("surname over 15 characters runs into the weight column")
        << QStringList{"8", "Anna", "Schmidt-Hofmannsthal", "62", "170"}
        << "  8/           AnnaSchmidt-Hofmannsthal        62       170";
    QTest::newRow("only a name")
        << QStringList{"2", "Anna", "", "", ""}
        << "  2/           Anna                                   ";
    QTest::newRow("four-digit number")
        << QStringList{"1234", "Anna", "Berg", "62", "170"}
        << "1234/           Anna           Berg        62       170";
}

void TestRecords::athleteLine()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, line);
    const QString built = athleteListLine(fields[0], fields[1], fields[2], fields[3], fields[4]);
    QCOMPARE(built, line);
    // Nothing is ever cut: every text appears whole, in its order.
    qsizetype from = 0;
    for (const QString &field : fields) {
        const qsizetype at = built.indexOf(field, from);
        QVERIFY2(at >= 0, qPrintable(field));
        from = at + field.size();
    }
}

void TestRecords::completion_data()
{
    QTest::addColumn<QString>("sets");
    QTest::addColumn<QStringList>("realIn");
    QTest::addColumn<QStringList>("repsIn");
    QTest::addColumn<QStringList>("realOut");
    QTest::addColumn<QStringList>("repsOut");

    // Planned set time "8", planned-time slots "7,5", "8,5", "9" ..., planned
    // repetitions "4" (see completion()).
    QTest::newRow("3 sets: empty time and 0 repetitions take the plan")
        << "3" << freshReal({"4,2", "", "5"}) << freshReps({"2", "3", "0"})
        << freshReal({"4,2", "8", "5"}) << freshReps({"2", "3", "4"});
    QTest::newRow("3 sets of a fresh window: sets 4 to 20 stay as they stand")
        << "3" << freshReal() << freshReps()
        << freshReal({"8", "8", "8"}) << freshReps({"4", "4", "4"});
    QTest::newRow("2 sets take the first two planned-time slots")
        << "2" << freshReal() << freshReps()
        << freshReal({"7,5", "8,5"}) << freshReps({"4", "4"});
    QTest::newRow("2 sets with set 1 recorded")
        << "2" << freshReal({"3,1"}) << freshReps({"2"})
        << freshReal({"3,1", "8,5"}) << freshReps({"2", "4"});
    QTest::newRow("1 set takes the planned set time")
        << "1" << freshReal() << freshReps()
        << freshReal({"8"}) << freshReps({"4"});
    QStringList allPlanned;
    QStringList allReps;
    for (int k = 0; k < 20; ++k) {
        allPlanned << QStringLiteral("8");
        allReps << QStringLiteral("4");
    }
    QTest::newRow("20 sets complete every slot") << "20" << freshReal() << freshReps() << allPlanned << allReps;
    for (const char *sets : {" 3", "03", "3 ", "+3", "21", "0", "", "x"}) {
        QTest::newRow(qPrintable(QStringLiteral("sets '%1' completes nothing").arg(QLatin1String(sets))))
            << QString::fromLatin1(sets) << freshReal({"", "4,2"}) << freshReps({"0", "2"})
            << freshReal({"", "4,2"}) << freshReps({"0", "2"});
    }
    QTest::newRow("a blank real time is not empty")
        << "3" << freshReal({" ", "4,2", ""}) << freshReps({"2", "2", "2"})
        << freshReal({" ", "4,2", "8"}) << freshReps({"2", "2", "2"});
    QTest::newRow("an empty repetitions slot stays empty")
        << "3" << freshReal({"1", "2", "3"}) << freshReps({"", "0", " 0"})
        << freshReal({"1", "2", "3"}) << freshReps({"", "4", " 0"});
    QTest::newRow("only the exact text 0 is unrecorded")
        << "3" << freshReal({"1", "2", "3"}) << freshReps({"00", "0,0", "0"})
        << freshReal({"1", "2", "3"}) << freshReps({"00", "0,0", "4"});
    QTest::newRow("a real time below zero is no time")
        << "3" << freshReal({"-1,594", "-0,4", "0"}) << freshReps({"2", "0", "2"})
        << freshReal({"8", "8", "0"}) << freshReps({"2", "4", "2"});
    QTest::newRow("slots past the sets are never completed")
        << "2" << freshReal({"", "", ""}) << freshReps({"0", "0", "0"})
        << freshReal({"7,5", "8,5", ""}) << freshReps({"4", "4", "0"});
}

void TestRecords::completion()
{
    QFETCH(QString, sets);
    QFETCH(QStringList, realIn);
    QFETCH(QStringList, repsIn);

    QStringList planned;
    for (int k = 0; k < 20; ++k)
        planned << (k == 0 ? QStringLiteral("7,5") : k == 1 ? QStringLiteral("8,5") : QStringLiteral("9"));
    SetResults results{realIn, repsIn};
    completeSetResults(results, sets, QStringLiteral("8"), planned, QStringLiteral("4"));
    QTEST(results.realTimes, "realOut");
    QTEST(results.repetitions, "repsOut");
}

QTEST_APPLESS_MAIN(TestRecords)
#include "tst_records.moc"
