#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// A failed user action: a text that is no number, a table error, a file that
// cannot be written.  The action ends where it is thrown; the message is shown
// to the user by runGuarded() and the program goes on.
class ActionError : public std::runtime_error {
public:
    explicit ActionError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// A text that is not a whole or decimal number where one is read.
class ConversionError : public ActionError {
public:
    using ActionError::ActionError;
};

} // namespace platform
