// Posts survive a process that is killed at any moment: a child process posts
// records in a loop and reports each finished post; it is killed mid-way,
// many times, and the file must stay consistent and hold every reported post.

#include "store/trainingtables.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

namespace {

const char *const postLoopArgument = "--post-loop";

// The child: posts test records until it is killed, writing "<key> <name>"
// for each post once post() has returned.
int postLoop(const QString &folder)
{
    store::TrainingTables tables(folder);
    try {
        tables.openAll();
        const QString filler = QStringLiteral("x").repeated(300);
        for (int i = 0;; ++i) {
            const QString name = QStringLiteral("rec-%1-%2").arg(QCoreApplication::applicationPid()).arg(i);
            tables.TestTable.open();
            tables.TestTable.append();
            tables.TestTable.setFieldText(QStringLiteral("Name"), name);
            tables.TestTable.setFieldText(QStringLiteral("Exercise"), filler);
            tables.TestTable.setFieldInteger(QStringLiteral("ProfilNr"), i);
            tables.TestTable.post();
            const QByteArray line = (tables.TestTable.fieldText(QStringLiteral("Testnr")) + QLatin1Char(' ') + name
                                     + QLatin1Char('\n')).toUtf8();
            std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
            std::fflush(stdout);
            tables.TestTable.close();
        }
    } catch (const store::StoreError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 2;
    }
}

} // namespace

class TstCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killedWhilePostingLosesNoReportedRecord();
};

void TstCrashSafety::killedWhilePostingLosesNoReportedRecord()
{
    QTemporaryDir dir;
    QHash<qint64, QString> reported;
    QRandomGenerator random(20261207);
    const int rounds = 20;
    int killedMidway = 0;

    for (int round = 0; round < rounds; ++round) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(postLoopArgument), dir.path()});
        QVERIFY(child.waitForStarted());
        // Let a few posts finish, then kill at a random moment in the loop.
        QByteArray output;
        while (output.count('\n') < 2 && child.state() == QProcess::Running && child.waitForReadyRead(10000))
            output += child.readAllStandardOutput();
        QVERIFY2(output.count('\n') >= 2, child.readAllStandardError().constData());
        QThread::usleep(random.bounded(20000));
        if (child.state() == QProcess::Running)
            ++killedMidway;
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        output += child.readAllStandardOutput();

        // Only complete lines were reported; a cut last line was not.
        const QList<QByteArray> lines = output.split('\n');
        for (int i = 0; i + 1 < lines.size(); ++i) {
            const QList<QByteArray> parts = lines.at(i).split(' ');
            QCOMPARE(parts.size(), 2);
            reported.insert(parts.at(0).toLongLong(), QString::fromUtf8(parts.at(1)));
        }

        store::TrainingTables tables(dir.path());
        tables.openAll();
        QSqlQuery check(tables.TestTable.database());
        QVERIFY(check.exec(QStringLiteral("PRAGMA integrity_check")));
        QVERIFY(check.next());
        QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
        for (auto it = reported.cbegin(); it != reported.cend(); ++it) {
            QVERIFY2(tables.TestTable.findKey(it.key()), qPrintable(it.value()));
            QCOMPARE(tables.TestTable.fieldText(QStringLiteral("Name")), it.value());
        }
        // At most the one post in flight at the kill is stored unreported.
        QVERIFY(check.exec(QStringLiteral("SELECT COUNT(*) FROM TestTable")));
        QVERIFY(check.next());
        QVERIFY(check.value(0).toLongLong() >= reported.size());
        QVERIFY(check.value(0).toLongLong() <= reported.size() + round + 1);
    }
    QCOMPARE(killedMidway, rounds);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], postLoopArgument) == 0)
        return postLoop(QString::fromLocal8Bit(argv[2]));
    TstCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
