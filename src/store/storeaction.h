#pragma once

// Store actions on a database server run beside the user-interface thread:
// a server that does not answer (stopped, overloaded, its network gone)
// never stops the clock, its cues or the painting of the windows.

#include "store/table.h"

#include <QList>

#include <functional>
#include <optional>
#include <type_traits>

namespace store {

// How long a server is waited for.  The server ends a statement that runs
// longer than the statement timeout itself; when it does not answer even
// that, the client asks it to cancel, and at last cuts the connection, so
// that every action ends, with a message naming the server, well within
// ten seconds.
inline constexpr int serverConnectTimeoutSeconds = 5;
inline constexpr int serverStatementTimeoutMs = 5000;
inline constexpr int serverCancelAfterMs = 6000;
inline constexpr int serverCutAfterMs = 8000;

// Runs `action`, which works on `tables` and on nothing else of the store.
//
// When one of the tables is on a server and this is the application's main
// thread, the action runs on a thread of its own, with the tables'
// connections handed to it and back (one thread uses a connection at a
// time), while this thread waits in an event loop that runs timers and
// paints but holds back the user's input.  A lost connection is opened anew
// first.  A server that does not answer within the bounds above is left:
// the action then fails with a StoreError naming the server; nothing of it
// is lost on this side (a record not stored stays pending).  A second
// action while one runs (from a timer) is refused with a StoreError.
//
// Anywhere else (tables in a folder, a thread of the program's own, the
// command line) the action simply runs here.  Throws what the action threw.
void runStoreAction(const QList<Table *> &tables, const std::function<void()> &action);

template <typename Action>
auto runStoreAction(const QList<Table *> &tables, Action &&action) -> std::invoke_result_t<Action>
{
    using Result = std::invoke_result_t<Action>;
    // Passed as a constant: the overload above is taken, not this one.
    if constexpr (std::is_void_v<Result>) {
        const std::function<void()> run(std::forward<Action>(action));
        runStoreAction(tables, run);
    } else {
        std::optional<Result> result;
        const std::function<void()> run([&] { result.emplace(action()); });
        runStoreAction(tables, run);
        return std::move(*result);
    }
}

// Whether a store action is waiting for its server now.
bool storeActionRunning();

} // namespace store
