#pragma once

#include <functional>

class QWidget;

namespace platform {

// Runs one user action.  A failure inside it (a core::Failure or any other
// exception) ends the action there and its message is shown in a box over
// `parent`; nothing the action did before is undone and no exception ever
// reaches Qt's event dispatch.  Returns true when the action ran to its end.
bool runGuarded(QWidget *parent, const std::function<void()> &action);

} // namespace platform
