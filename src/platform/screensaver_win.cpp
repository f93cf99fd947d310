#include "platform/screensaver.h"

#include <windows.h>

namespace platform {
namespace {

ScreenSaver *installed = nullptr;

} // namespace

PowerRequestScreenSaver::~PowerRequestScreenSaver()
{
    release();
}

void PowerRequestScreenSaver::inhibit(const QString &reason)
{
    if (isHeld())
        return;
    std::wstring text = reason.toStdWString();
    REASON_CONTEXT context{};
    context.Version = POWER_REQUEST_CONTEXT_VERSION;
    context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    context.Reason.SimpleReasonString = text.data();
    const HANDLE request = PowerCreateRequest(&context);
    if (request == INVALID_HANDLE_VALUE || request == nullptr) {
        // Without power requests (older systems, Wine): the thread's
        // execution state, which holds the same until it is cleared.
        m_executionState = SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED) != 0;
        return;
    }
    // The display for the athlete, the system so that it does not sleep
    // under a running test.
    if (!PowerSetRequest(request, PowerRequestDisplayRequired)) {
        CloseHandle(request);
        return;
    }
    PowerSetRequest(request, PowerRequestSystemRequired);
    m_request = request;
}

void PowerRequestScreenSaver::release()
{
    if (m_executionState) {
        SetThreadExecutionState(ES_CONTINUOUS);
        m_executionState = false;
    }
    if (!m_request)
        return;
    PowerClearRequest(m_request, PowerRequestSystemRequired);
    PowerClearRequest(m_request, PowerRequestDisplayRequired);
    CloseHandle(m_request);
    m_request = nullptr;
}

ScreenSaver &screenSaver()
{
    if (installed)
        return *installed;
    // Lives to the program's end; the system drops a hold with the process.
    static PowerRequestScreenSaver system;
    return system;
}

void setScreenSaver(ScreenSaver *screenSaver)
{
    installed = screenSaver;
}

} // namespace platform
