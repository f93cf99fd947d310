#include "clock/tform1.h"

#include "store/trainingtables.h"

// Asks for the progress window over the stored tests with the athlete whose
// name and surname stand in the athlete fields.  Only that window opens: the
// test in the clock window goes on.
void TForm1::ProgressButtonClick()
{
    guarded([&] { emit progressRequested(&tables().TestTable, Edit39->text(), Edit40->text()); });
}
