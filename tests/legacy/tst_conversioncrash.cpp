// A conversion killed at any moment leaves, after the next start's
// recovery, either the folder exactly as it was or the finished conversion:
// never a folder without the old or the new tables, never a half-filled
// new table.  A child process converts; it is killed at moments spread over
// the conversion, and the folder is checked each time.

#include "legacy/conversion.h"
#include "app/legacyimport.h"
#include "store/trainingtables.h"
#include "support/paradoxtables.h"
#include "support/recorders.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

namespace {

const char *const convertArgument = "--convert";
const int testCount = 20000;

int convertChild(const QString &folder)
{
    try {
        legacy::recoverConversion(folder);
        const legacy::Survey survey = legacy::surveyFolder(folder);
        if (!survey.refusals.isEmpty() || survey.tables.size() != 3)
            return 3;
        legacy::convertFolder(folder, survey);
    } catch (const core::Failure &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 2;
    }
    return 0;
}

void writeOriginal(const QString &folder)
{
    paradox::writeToFolder(folder, QStringLiteral("TestTable.DB"),
                           paradox::trainingTable(store::testTableLayout(), testCount, 11));
    paradox::Table profiles = paradox::trainingTable(store::profilLayout(), 50);
    profiles.fields[2] = {QStringLiteral("Exercise"), paradox::Memo, 11};
    for (auto &record : profiles.records)
        record[2] = QByteArray("An exercise described at length");
    paradox::writeToFolder(folder, QStringLiteral("PROFIL.DB"), profiles);
    paradox::writeToFolder(folder, QStringLiteral("SPTable.db"), paradox::trainingTable(store::spTableLayout(), 30, 4));
}

void restore(const QString &folder, const QMap<QString, QByteArray> &files)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(QDir(folder).filePath(it.key()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(it.value());
    }
}

enum class State { AsBefore, Converted, Broken };

// Which of the two allowed states the folder is in.
State stateOf(const QString &folder, const QMap<QString, QByteArray> &original)
{
    const auto now = paradox::snapshot(folder);
    if (now == original)
        return State::AsBefore;
    QStringList expected;
    for (auto it = original.cbegin(); it != original.cend(); ++it) {
        const QString kept = legacy::keptFilesFolderName() + u'/' + it.key();
        if (now.value(kept) != it.value()) {
            qWarning("old file %s missing or changed", qPrintable(it.key()));
            return State::Broken;
        }
        expected << kept;
    }
    expected << QStringLiteral("TestTable.DB") << QStringLiteral("Profil.db") << QStringLiteral("SPTable.db");
    QStringList names = now.keys();
    names.sort();
    expected.sort();
    if (names != expected) {
        qWarning("files: %s", qPrintable(names.join(u' ')));
        return State::Broken;
    }
    try {
        store::TrainingTables tables(folder);
        tables.openAll();
        const std::pair<store::Table *, int> counts[] = {
            {&tables.TestTable, testCount}, {&tables.ProfilTable, 50}, {&tables.SPTable, 30}};
        for (const auto &[table, count] : counts) {
            QSqlQuery query(table->database());
            if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table->tableName())) || !query.next()
                || query.value(0).toInt() != count) {
                qWarning("table %s incomplete", qPrintable(table->tableName()));
                return State::Broken;
            }
        }
    } catch (const store::StoreError &error) {
        qWarning("%s", qPrintable(error.message()));
        return State::Broken;
    }
    return State::Converted;
}

} // namespace

class TstConversionCrash : public QObject {
    Q_OBJECT

private slots:
    void killedConversionIsFinishedOrUndone();
    void journalIsCarriedOutAtNextStart_data();
    void journalIsCarriedOutAtNextStart();
};

void TstConversionCrash::killedConversionIsFinishedOrUndone()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("work"));
    QDir().mkpath(folder);
    writeOriginal(folder);
    const auto original = paradox::snapshot(folder);

    // How long one whole conversion takes here, child start included.
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(), {QString::fromLatin1(convertArgument), folder}), 0);
    const qint64 whole = timer.elapsed();
    QCOMPARE(stateOf(folder, original), State::Converted);

    const int rounds = 20;
    int asBefore = 0;
    int converted = 0;
    for (int round = 0; round < rounds; ++round) {
        restore(folder, original);
        QProcess child;
        timer.restart();
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(convertArgument), folder});
        QVERIFY(child.waitForStarted());
        // Kill moments spread from the start to twice the time of one
        // conversion (the files just written make this one slower).
        const qint64 moment = whole * (2 * round + 1) / rounds;
        QThread::msleep(ulong(qMax<qint64>(0, moment - timer.elapsed())));
        child.kill();
        QVERIFY(child.waitForFinished(10000));

        // The next start.
        legacy::recoverConversion(folder);
        const State state = stateOf(folder, original);
        QVERIFY2(state != State::Broken, qPrintable(QStringLiteral("round %1, killed after %2 ms").arg(round).arg(moment)));
        (state == State::AsBefore ? asBefore : converted)++;
    }
    qInfo("%d rounds left the folder as before, %d converted (one conversion: %lld ms)", asBefore, converted, whole);
    QVERIFY(asBefore > 0);
    QVERIFY(converted > 0);
}

void TstConversionCrash::journalIsCarriedOutAtNextStart_data()
{
    QTest::addColumn<int>("moved");
    QTest::addColumn<int>("placed");
    QTest::newRow("nothing moved") << 0 << 0;
    QTest::newRow("some old files moved") << 3 << 0;
    QTest::newRow("all moved, one new file placed") << 99 << 1;
    QTest::newRow("all placed, journal left") << 99 << 3;
}

void TstConversionCrash::journalIsCarriedOutAtNextStart()
{
    // The state a kill leaves between the journal and its removal, made by
    // hand: the new files written, the journal durable, some steps done.
    QFETCH(int, moved);
    QFETCH(int, placed);
    QTemporaryDir dir;
    const QString folder = dir.path();
    writeOriginal(folder);
    const auto original = paradox::snapshot(folder);
    const legacy::Survey survey = legacy::surveyFolder(folder);
    QCOMPARE(survey.tables.size(), 3);
    const QDir d(folder);
    QString journal = QStringLiteral("KORVANE-CONVERSION 1\nkept\t%1\n").arg(legacy::keptFilesFolderName());
    QStringList moves;
    QList<std::pair<QString, QString>> places;
    for (const legacy::FoundTable &found : survey.tables) {
        QFile db(d.filePath(found.fileName));
        QFile mb(d.filePath(found.memoFileName));
        QVERIFY(db.open(QIODevice::ReadOnly));
        const QByteArray dbBytes = db.readAll();
        const QByteArray mbBytes = found.memoFileName.isEmpty() || !mb.open(QIODevice::ReadOnly) ? QByteArray() : mb.readAll();
        const legacy::ParadoxTable table(dbBytes, mbBytes, !mbBytes.isEmpty());
        legacy::convertTable(table, *found.layout, d.filePath(legacy::temporaryFileName(*found.layout)));
        moves << found.fileName << found.companions;
        places.append({legacy::temporaryFileName(*found.layout), found.layout->fileName});
    }
    for (const QString &name : moves)
        journal += QStringLiteral("move\t%1\n").arg(name);
    for (const auto &[temporary, final] : places)
        journal += QStringLiteral("place\t%1\t%2\n").arg(temporary, final);
    journal += QStringLiteral("end\n");
    QFile file(d.filePath(legacy::journalFileName()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(journal.toUtf8());
    file.close();
    QVERIFY(d.mkpath(legacy::keptFilesFolderName()));
    for (int i = 0; i < qMin<int>(moved, moves.size()); ++i)
        QVERIFY(QFile::rename(d.filePath(moves.at(i)), d.filePath(legacy::keptFilesFolderName() + u'/' + moves.at(i))));
    for (int i = 0; i < placed; ++i)
        QVERIFY(QFile::rename(d.filePath(places.at(i).first), d.filePath(places.at(i).second)));

    // The next start finishes it, says so and asks nothing.
    TestPlatform platform;
    QVERIFY(legacy::offerLegacyConversion(folder));
    QCOMPARE(platform.boxes.shown,
             QStringList{QStringLiteral("inform:") + legacy::finishedInterruptedMessage(folder, legacy::keptFilesFolderName())});
    QVERIFY(platform.boxes.shown.first().contains(QStringLiteral("interrupted conversion")));
    QCOMPARE(stateOf(folder, original), State::Converted);
    QCOMPARE(legacy::recoverConversion(folder), legacy::Recovery::Nothing);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], convertArgument) == 0)
        return convertChild(QString::fromLocal8Bit(argv[2]));
    TstConversionCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_conversioncrash.moc"
