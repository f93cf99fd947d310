#include "store/serveraddress.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QUrl>
#include <QUrlQuery>

namespace store {

std::optional<ServerAddress> ServerAddress::parse(const QString &text, QString *why)
{
    const auto refuse = [&](const QString &reason) -> std::optional<ServerAddress> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres")))
        return refuse(QCoreApplication::translate("Store", "\"%1\" is no database address of the form "
                                                           "postgresql://user@host:port/database")
                          .arg(text));
    ServerAddress address;
    address.host = url.host();
    address.port = url.port(-1);
    address.user = url.userName();
    address.password = url.password();
    address.database = url.path().mid(1);
    if (address.database.contains(QLatin1Char('/')))
        return refuse(QCoreApplication::translate("Store", "\"%1\" names more than one database").arg(text));
    const QUrlQuery query(url);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        // libpq's own parameters; the ones the address already holds go
        // there, a password in the query is dropped like one in the address.
        if (key == QLatin1String("host"))
            address.host = value;
        else if (key == QLatin1String("port"))
            address.port = value.toInt();
        else if (key == QLatin1String("user"))
            address.user = value;
        else if (key == QLatin1String("dbname"))
            address.database = value;
        else if (key == QLatin1String("password"))
            address.password = value;
        else if (!key.isEmpty())
            address.parameters.append({key, value});
    }
    return address;
}

QString ServerAddress::url() const
{
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    url.setHost(host);
    url.setPort(port);
    url.setPath(QLatin1Char('/') + database);
    QUrlQuery query;
    for (const auto &[key, value] : parameters)
        query.addQueryItem(key, value);
    url.setQuery(query);
    return url.toString(QUrl::FullyEncoded);
}

QString ServerAddress::display() const
{
    QString shown = user.isEmpty() ? QString() : user + QLatin1Char('@');
    shown += host.isEmpty() ? QStringLiteral("localhost") : host;
    if (port > 0)
        shown += QLatin1Char(':') + QString::number(port);
    return shown + QLatin1Char('/') + database;
}

void ServerAddress::applyTo(QSqlDatabase &db) const
{
    db.setHostName(host);
    if (port > 0)
        db.setPort(port);
    db.setUserName(user);
    db.setPassword(password);
    db.setDatabaseName(database);
    QStringList options;
    for (const auto &[key, value] : parameters)
        options << key + QLatin1Char('=') + value;
    db.setConnectOptions(options.join(QLatin1Char(';')));
}

} // namespace store
