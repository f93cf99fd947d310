#include "platform/guard.h"

#include "core/errors.h"
#include "platform/messages.h"

#include <QCoreApplication>
#include <QString>
#include <QStringDecoder>
#include <exception>

namespace platform {

namespace {

// Korvane's own exceptions carry UTF-8; on Windows, what the system's
// libraries throw is in the ANSI code page, which is what a text that is
// no UTF-8 is read in.
QString exceptionText(const char *what)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(what);
    return utf8.hasError() ? QString::fromLocal8Bit(what) : text;
}

} // namespace

bool runGuarded(QWidget *parent, const std::function<void()> &action)
{
    QString message;
    try {
        action();
        return true;
    } catch (const core::Failure &e) {
        message = e.message();
    } catch (const std::exception &e) {
        message = exceptionText(e.what());
    } catch (...) {
        message = QCoreApplication::translate("Guard", "Unknown error");
    }
    messageBoxes().error(parent, message);
    return false;
}

} // namespace platform
