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
    // ...), passed to libpq with their values quoted.
    QList<QPair<QString, QString>> parameters;

    // Reads a URL; `why` receives the reason when it is none (the address
    // shown there with its password masked).  A port that is no number, a
    // parameter name that is no word and a value holding ";" (which the
    // driver cannot pass on) are refused.
    static std::optional<ServerAddress> parse(const QString &url, QString *why = nullptr);
    // The URL without its password and secret parameters: what is shown,
    // remembered and logged.
    QString url() const;
    // Whether the address holds a password or another secret parameter.
    bool holdsSecret() const;
    // user@host:port/database for the data-folder line and messages.
    QString display() const;

    // The connect options for Qt's PostgreSQL driver: every parameter as
    // key='value' with \ and ' escaped, and unless the address sets them, a
    // connect timeout and TCP keepalives that notice a lost server within
    // seconds.
    QString connectOptions() const;
    // Sets up a connection of Qt's PostgreSQL driver for this address.
    void applyTo(QSqlDatabase &db) const;
};

// libpq's parameters that hold secrets: never remembered, shown or taken
// from the command line.
bool isSecretParameter(const QString &key);

// A database address as a user typed it, its password (in the address or
// as a parameter) replaced by "***", for messages.
QString maskedAddress(const QString &text);

} // namespace store
