#pragma once

// A failure as facts: what kind of failure, the file (or folder) it
// concerns, and the detail that says why.  Whoever meets a failure throws
// the facts; the edge that shows it (the guarded action's box, the
// conversion dialog, the command line) asks for its sentence, and the
// command line chooses its exit status by kind.

#include <QString>

#include <exception>

namespace core {

class Failure : public std::exception {
public:
    enum class Kind {
        Action,               // an action that cannot be done; the detail says it whole
        NotAWholeNumber,      // detail: the text that was read
        NotADecimalNumber,    // detail: the text that was read
        TableFile,            // file: a table file; detail: what is wrong with it
        TableReplaced,        // file: a table file removed or replaced while open
        TableFolderReadOnly,  // file: a table file in a read-only folder; detail: the store's reason
        ConvertTable,         // file: an old table file; detail: why it cannot be converted
        ConvertFolder,        // file: the folder; detail: why its tables cannot be converted
        ConversionUnfinished, // file: the folder; detail: why the last steps failed
        RecoveryFailed,       // file: the folder; detail: why an interrupted conversion cannot end
        ConversionStep,       // detail: a step of a conversion (part of one of the above)
        ReadFailed,           // the stored data cannot be read; detail says it whole
        WriteFailed,          // a file cannot be written; detail says it whole
        BackupFailed,         // file: the day's backup folder; detail: why the backup failed
        ServerTable,          // file: the database server's address; detail: what is wrong there
    };

    // An action that cannot be done, said whole.
    explicit Failure(const QString &sentence)
        : Failure(Kind::Action, QString(), sentence)
    {
    }
    Failure(Kind kind, const QString &file, const QString &detail);

    Kind kind() const { return m_kind; }
    const QString &file() const { return m_file; }
    const QString &detail() const { return m_detail; }

    // The sentence a user reads, in the program's language.
    QString message() const;
    const char *what() const noexcept override { return m_what.constData(); }

    // The stored data could not be read (rather than something written).
    bool isReadFailure() const
    {
        return m_kind == Kind::ReadFailed || m_kind == Kind::TableFile || m_kind == Kind::TableReplaced
            || m_kind == Kind::ServerTable;
    }
    // The same failure said after `prefix` ("... was not written. "): a read
    // failure stays one, everything else failed a writing.
    Failure afterPrefix(const QString &prefix) const
    {
        return Failure(isReadFailure() ? Kind::ReadFailed : Kind::WriteFailed, m_file, prefix + message());
    }
    // A text read where a number belongs.
    bool isNumberFailure() const { return m_kind == Kind::NotAWholeNumber || m_kind == Kind::NotADecimalNumber; }

private:
    Kind m_kind;
    QString m_file;
    QString m_detail;
    QByteArray m_what;
};

} // namespace core
