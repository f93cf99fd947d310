#include "platform/guard.h"

#include "core/errors.h"
#include "platform/messages.h"

#include <QCoreApplication>
#include <QString>
#include <exception>

namespace platform {

bool runGuarded(QWidget *parent, const std::function<void()> &action)
{
    QString message;
    try {
        action();
        return true;
    } catch (const core::Failure &e) {
        message = e.message();
    } catch (const std::exception &e) {
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QCoreApplication::translate("Guard", "Unknown error");
    }
    messageBoxes().error(parent, message);
    return false;
}

} // namespace platform
