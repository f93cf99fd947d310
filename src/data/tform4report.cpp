// "Report..." in the data window: the report of the test the test grid
// stands on.

#include "data/dbgrid.h"
#include "data/tform4.h"
#include "core/errors.h"
#include "platform/guard.h"
#include "report/reportcommand.h"
#include "report/reportpage.h"
#include "report/reportpreview.h"
#include "store/testreader.h"
#include "store/trainingtables.h"

void TForm4::ReportButtonClick()
{
    platform::runGuarded(this, [&] {
        // A change still pending in the grid is part of the test reported.
        DBGrid1->postPending();
        const qint64 testnr = DBGrid1->currentKey();
        if (testnr < 0)
            throw core::Failure(tr("Choose a stored test in the lowest grid first."));
        m_tables.TestTable.open();
        store::SqliteTestReader reader(m_tables.TestTable);
        if (m_tables.ProfilTable.isOpen())
            reader.readProfilesFrom(m_tables.ProfilTable);
        report::showReportPreview(this,
                                  report::storedTestReport(reader, testnr, store::readTestNotes(m_tables.TestTable.database()),
                                                           report::programLocale()),
                                  m_tables.folder());
    });
}
