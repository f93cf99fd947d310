#pragma once

// What the procedure's tests and the clock window's share: the cue sounds, and the phases of a test with the initial settings read at
// points of its first repetition.

#include <QString>
#include <QTest>

namespace {
const QString kToCue = QStringLiteral("wave:AnfangFro.wav");
const QString kFroCue = QStringLiteral("wave:AnfangTo.wav");
} // namespace

inline void addInitialSettingsRoadRows()
{
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QString>("phase");
    QTest::addColumn<QString>("countdown");
    QTest::addColumn<QString>("repetition");

    QTest::newRow("start rest 0,9") << 100 << "Start Rest" << "0,9" << "0";
    QTest::newRow("start rest ends at 0,0") << 1000 << "Start Rest" << "0,0" << "0";
    QTest::newRow("fro enters just above 1000") << 1050 << "Fro-Phase" << "0,9" << "1";
    QTest::newRow("fro boundary 2000") << 2000 << "Fro-Phase" << "0,0" << "1";
    QTest::newRow("rest after fro") << 2100 << "Rest after Fro-Phase" << "0,9" << "1";
    QTest::newRow("rest after fro boundary 3000") << 3000 << "Rest after Fro-Phase" << "0,0" << "1";
    QTest::newRow("to") << 3050 << "To-Phase" << "0,9" << "1";
    QTest::newRow("to boundary 4000") << 4000 << "To-Phase" << "0,0" << "1";
    QTest::newRow("rest after to") << 4100 << "Rest after To-Phase" << "0,9" << "1";
    QTest::newRow("rest after to late") << 4950 << "Rest after To-Phase" << "0,0" << "1";
}
