#include "app/startup.h"

#include "app/application.h"
#include "app/hauptform.h"
#include "clock/tform1.h"
#include "data/tform4.h"
#include "platform/errors.h"
#include "platform/messages.h"

#include <QEvent>
#include <QTimer>

namespace app {
namespace {

// Builds the main window's other windows right after it was first painted:
// in the event loop's next turn, once the window is on the screen.
class BuildAfterFirstPaint : public QObject {
public:
    explicit BuildAfterFirstPaint(THauptform *main)
        : QObject(main)
        , m_main(main)
    {
        main->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_main && event->type() == QEvent::Paint) {
            m_main->removeEventFilter(this);
            QTimer::singleShot(0, m_main, [main = m_main] {
                setProgramIcon();
                main->buildWindows();
            });
            deleteLater();
        }
        return false;
    }

private:
    THauptform *m_main;
};

} // namespace

Windows::~Windows() = default;

TForm1 *Windows::clock() const
{
    return main ? main->clockWindow() : nullptr;
}

TForm4 *Windows::data() const
{
    return main ? main->dataWindow() : nullptr;
}

std::unique_ptr<Windows> start()
{
    auto windows = std::make_unique<Windows>();
    // The main window opens the tables; one that cannot be opened ends the
    // start before any window is shown.
    try {
        windows->main = std::make_unique<THauptform>();
    } catch (const platform::ActionError &error) {
        platform::messageBoxes().error(nullptr, error.message());
        return nullptr;
    }
    THauptform &hauptform = *windows->main;
    hauptform.setWindowBuilder([&hauptform] { hauptform.createWindows(); });
    new BuildAfterFirstPaint(&hauptform);
    hauptform.showAtStart();
    return windows;
}

} // namespace app
