#include "store/trainingtables.h"

namespace store {

TrainingTables::TrainingTables(const QString &folder)
    : m_folder(folder)
    , SPTable(spTableLayout(), folder)
    , TestTable(testTableLayout(), folder)
    , ProfilTable(profilLayout(), folder)
{
}

void TrainingTables::openAll()
{
    SPTable.open();
    TestTable.open();
    ProfilTable.open();
}

} // namespace store
