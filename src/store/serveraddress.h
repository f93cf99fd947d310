#pragma once

// The address of a database server as a user gives it: libpq's URL,
// postgresql://user@host:port/dbname?sslmode=require (postgres:// too).

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

class QSqlDatabase;

namespace store {

struct ServerAddress {
    QString host;
    int port = -1;          // -1: libpq's default
    QString user;
    QString password;       // only when the URL holds one; never stored
    QString database;
    // The URL's parameters (sslmode, sslrootcert, service, connect_timeout,
    // ...), passed to libpq as they are.
    QList<QPair<QString, QString>> parameters;

    // Reads a URL; `why` receives the reason when it is none.
    static std::optional<ServerAddress> parse(const QString &url, QString *why = nullptr);
    // The URL without its password: what is shown, remembered and logged.
    QString url() const;
    // user@host:port/database for the data-folder line and messages.
    QString display() const;

    // Sets up a connection of Qt's PostgreSQL driver for this address.
    void applyTo(QSqlDatabase &db) const;
};

} // namespace store
