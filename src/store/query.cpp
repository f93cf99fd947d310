#include "store/query.h"

#include "store/table.h"

#include <QRegularExpression>
#include <QSqlError>

namespace store {

Query::Query(Table &table)
    : m_table(table)
{
}

void Query::close()
{
    m_query = QSqlQuery();
    m_open = false;
    m_eof = true;
    m_atFirst = false;
    m_count = 0;
}

void Query::open()
{
    close();
    static const QRegularExpression selectAll(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\S+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = selectAll.match(m_text);
    if (!match.hasMatch()
        || (match.captured(1).compare(m_table.fileName(), Qt::CaseInsensitive) != 0
            && match.captured(1).compare(m_table.tableName(), Qt::CaseInsensitive) != 0)) {
        m_table.fail(QStringLiteral("the query \"%1\" is not supported").arg(m_text));
    }
    m_table.open();

    const Layout &layout = m_table.layout();
    QStringList columns;
    for (const FieldDef &field : layout.fields)
        columns << QLatin1Char('"') + field.name + QLatin1Char('"');
    const QString table = QLatin1Char('"') + layout.tableName + QLatin1Char('"');

    QSqlQuery count(m_table.database());
    if (!count.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)) || !count.next())
        m_table.fail(count.lastError().text());
    m_count = count.value(0).toLongLong();
    m_fieldCount = layout.fields.size();

    m_query = QSqlQuery(m_table.database());
    m_query.setForwardOnly(true);
    if (!m_query.prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY \"%3\"")
                             .arg(columns.join(QLatin1Char(',')), table, layout.key().name)))
        m_table.fail(m_query.lastError().text());
    m_open = true;
    run();
}

void Query::run()
{
    if (!m_query.exec())
        m_table.fail(m_query.lastError().text());
    m_atFirst = true;
    next();
    m_atFirst = true;
}

void Query::first()
{
    if (!m_open)
        open();
    else if (!m_atFirst)
        run();
}

void Query::next()
{
    if (!m_open)
        return;
    m_atFirst = false;
    m_eof = !m_query.next();
    if (m_eof && m_query.lastError().isValid())
        m_table.fail(m_query.lastError().text());
}

QString Query::fieldText(int position) const
{
    if (!m_open || m_eof || position < 1 || position > m_fieldCount)
        return QString();
    return textForm(m_query.value(position - 1));
}

} // namespace store
