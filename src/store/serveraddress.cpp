#include "store/serveraddress.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QUrl>
#include <QRegularExpression>
#include <QUrlQuery>

#include <algorithm>

namespace store {

bool isSecretParameter(const QString &key)
{
    return key == QLatin1String("password") || key == QLatin1String("sslpassword");
}

QString maskedAddress(const QString &text)
{
    QString masked = text;
    // The password between the user's name and the last @ of the address
    // proper (before its parameters).
    const qsizetype scheme = masked.indexOf(QLatin1String("://"));
    if (scheme >= 0) {
        const qsizetype from = scheme + 3;
        const qsizetype query = masked.indexOf(QLatin1Char('?'), from);
        const qsizetype at = masked.lastIndexOf(QLatin1Char('@'), query < 0 ? -1 : query - masked.size() - 1);
        const qsizetype colon = masked.indexOf(QLatin1Char(':'), from);
        if (at > from && colon >= from && colon < at)
            masked.replace(colon + 1, at - colon - 1, QStringLiteral("***"));
    }
    static const QRegularExpression secretParameter(QStringLiteral("([?&](?:ssl)?password=)[^&#]*"),
                                                    QRegularExpression::CaseInsensitiveOption);
    masked.replace(secretParameter, QStringLiteral("\\1***"));
    return masked;
}

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
                          .arg(maskedAddress(text)));
    ServerAddress address;
    address.host = url.host();
    address.port = url.port(-1);
    address.user = url.userName();
    address.password = url.password();
    address.database = url.path().mid(1);
    if (address.database.contains(QLatin1Char('/')))
        return refuse(QCoreApplication::translate("Store", "\"%1\" names more than one database").arg(maskedAddress(text)));
    const QUrlQuery query(url);
    static const QRegularExpression word(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key.isEmpty())
            continue;
        if (!word.match(key).hasMatch())
            return refuse(QCoreApplication::translate("Store", "\"%1\" is no parameter of a database address").arg(key));
        // The driver turns every ; of its options into a blank.
        if (value.contains(QLatin1Char(';')))
            return refuse(QCoreApplication::translate("Store", "The value of the parameter \"%1\" holds a \";\", which "
                                                               "the database driver cannot pass on; the address is not used.")
                              .arg(key));
        // libpq's own parameters; the ones the address already holds go
        // there, a password in the query is dropped like one in the address.
        if (key == QLatin1String("host")) {
            address.host = value;
        } else if (key == QLatin1String("port")) {
            bool number = false;
            address.port = value.toInt(&number);
            if (!number || address.port < 1 || address.port > 65535)
                return refuse(QCoreApplication::translate("Store", "The port \"%1\" of a database address is no number "
                                                                   "from 1 to 65535.").arg(value));
        } else if (key == QLatin1String("user")) {
            address.user = value;
        } else if (key == QLatin1String("dbname")) {
            address.database = value;
        } else if (key == QLatin1String("password")) {
            address.password = value;
        } else {
            address.parameters.append({key, value});
        }
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
    for (const auto &[key, value] : parameters) {
        if (!isSecretParameter(key))
            query.addQueryItem(key, value);
    }
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

bool ServerAddress::holdsSecret() const
{
    if (!password.isEmpty())
        return true;
    return std::any_of(parameters.cbegin(), parameters.cend(), [](const auto &parameter) {
        return isSecretParameter(parameter.first);
    });
}

QString ServerAddress::connectOptions() const
{
    // A server that stops answering is noticed within seconds rather than
    // after the system's TCP timeouts of minutes.
    static const QList<QPair<QString, QString>> defaults = {
        {QStringLiteral("connect_timeout"), QStringLiteral("5")},
        {QStringLiteral("keepalives"), QStringLiteral("1")},
        {QStringLiteral("keepalives_idle"), QStringLiteral("5")},
        {QStringLiteral("keepalives_interval"), QStringLiteral("2")},
        {QStringLiteral("keepalives_count"), QStringLiteral("2")},
    };
    QList<QPair<QString, QString>> all = parameters;
    for (const auto &parameter : defaults) {
        const bool given = std::any_of(parameters.cbegin(), parameters.cend(), [&](const auto &p) {
            return p.first == parameter.first;
        });
        if (!given)
            all.append(parameter);
    }
    QStringList options;
    for (auto [key, value] : all) {
        // libpq's quoting of a value: in single quotes, \ and ' after a
        // backslash.  The driver joins the options with blanks.
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        value.replace(QLatin1Char('\''), QLatin1String("\\'"));
        options << key + QLatin1String("='") + value + QLatin1Char('\'');
    }
    return options.join(QLatin1Char(';'));
}

void ServerAddress::applyTo(QSqlDatabase &db) const
{
    db.setHostName(host);
    if (port > 0)
        db.setPort(port);
    db.setUserName(user);
    db.setPassword(password);
    db.setDatabaseName(database);
    db.setConnectOptions(connectOptions());
}

} // namespace store
