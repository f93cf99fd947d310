#include "clock/tform1.h"

#include "data/progresswindow.h"
#include "store/trainingtables.h"

// Opens the progress window over the stored tests with the athlete whose name
// and surname stand in the athlete fields, when there are tests of that
// athlete.  Only the window opens: the test in the clock window goes on.
void TForm1::ProgressButtonClick()
{
    guarded([&] {
        auto *window = findChild<ProgressWindow *>(QString(), Qt::FindDirectChildrenOnly);
        if (!window)
            window = new ProgressWindow(tables().TestTable, this);
        window->showAthlete(Edit39->text(), Edit40->text());
    });
}
