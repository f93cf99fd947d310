#pragma once

// Stored tests for the benchmarks: a folder with its three tables and a test
// table filled in one statement with texts as the clock window writes them.

#include "store/trainingtables.h"

#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace bench {

// Adds `count` tests of three sets each, a test a day.  `name` and
// `exercise` are SQL expressions over the running number x (from 1).
inline void fillTests(store::Table &table, int count, const QString &name, const QString &exercise)
{
    QStringList values{
        QStringLiteral("printf('%02d.%02d.%04d', x % 28 + 1, (x / 28) % 12 + 1, 2000 + x / 336)"),
        QStringLiteral("x % 40 + 1"), name, QStringLiteral("'Berger'"), QStringLiteral("'82,5'"),
        QStringLiteral("'181'"), exercise, QStringLiteral("'100'")};
    for (int set = 1; set <= 20; ++set) {
        if (set <= 3)
            values << QStringLiteral("printf('%d,%d', 18 + x % 5, x % 10)") << QStringLiteral("'6'");
        else
            values << QStringLiteral("''") << QStringLiteral("'0'");
    }
    values << QStringLiteral("'1,5'") << QStringLiteral("'1'") << QStringLiteral("'1'") << QStringLiteral("'0,5'")
           << QStringLiteral("'0,5'") << QStringLiteral("'6'") << QStringLiteral("'3'") << QStringLiteral("'120'")
           << QStringLiteral("'58,5'") << QStringLiteral("'36'");
    QStringList columns;
    for (int i = 1; i < table.layout().fields.size(); ++i)
        columns << QLatin1Char('"') + table.layout().fields.at(i).name + QLatin1Char('"');
    QSqlQuery query(table.database());
    const QString sql = QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                                       "INSERT INTO TestTable (%2) SELECT %3 FROM c")
                            .arg(count)
                            .arg(columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')));
    if (!query.exec(sql)) {
        std::fprintf(stderr, "filling the test table failed\n");
        std::abort();
    }
}

// A folder with its tables.
struct Store {
    QTemporaryDir dir;
    std::unique_ptr<store::TrainingTables> tables;
    Store(int tests, const QString &name, const QString &exercise)
    {
        tables = std::make_unique<store::TrainingTables>(dir.path());
        tables->openAll();
        fillTests(tables->TestTable, tests, name, exercise);
    }
};

} // namespace bench
