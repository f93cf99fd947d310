#include "store/layout.h"

#include "store/sqlitefile.h"

namespace store {
namespace {

Layout makeLayout(const QString &tableName, const QString &fileName, const QString &keyName,
                  const QStringList &textFields, const QString &integerField = QString(),
                  int integerPosition = -1)
{
    Layout layout{tableName, fileName, {}};
    layout.fields.append({keyName, FieldKind::Key});
    for (const QString &name : textFields)
        layout.fields.append({name, FieldKind::Text});
    if (!integerField.isEmpty())
        layout.fields.insert(integerPosition, {integerField, FieldKind::Integer});
    return layout;
}

} // namespace

QString createTableStatement(const Layout &layout)
{
    QStringList columns;
    for (const FieldDef &field : layout.fields) {
        switch (field.kind) {
        case FieldKind::Key:
            // AUTOINCREMENT: keys count up from 1 and are never used again,
            // not even after the last record was deleted.
            columns << quoted(field.name) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
            break;
        case FieldKind::Integer:
            columns << quoted(field.name)
                    + QStringLiteral(" INTEGER CHECK (%1 IS NULL OR typeof(%1) = 'integer')").arg(quoted(field.name));
            break;
        case FieldKind::Text:
            // TEXT affinity keeps "007" or "1,50" exactly as written.
            columns << quoted(field.name) + QStringLiteral(" TEXT");
            break;
        }
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(layout.tableName), columns.join(QStringLiteral(", ")));
}

int Layout::indexOf(const QString &name) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const Layout &testTableLayout()
{
    static const Layout layout = [] {
        QStringList text{QStringLiteral("Date"), QStringLiteral("Name"), QStringLiteral("Surname"),
                         QStringLiteral("Bodyweight"), QStringLiteral("Height"),
                         QStringLiteral("Exercise"), QStringLiteral("Load")};
        for (int set = 1; set <= 20; ++set) {
            text << QStringLiteral("RealTime%1").arg(set) << QStringLiteral("RealR%1").arg(set);
        }
        text << QStringLiteral("StartRest") << QStringLiteral("FroPhase") << QStringLiteral("ToPhase")
             << QStringLiteral("RestafterFro") << QStringLiteral("RestafterTo") << QStringLiteral("Rep")
             << QStringLiteral("Sets") << QStringLiteral("RestSets") << QStringLiteral("TUTTotal")
             << QStringLiteral("TUTReal");
        return makeLayout(QStringLiteral("TestTable"), QStringLiteral("TestTable.DB"),
                          QStringLiteral("Testnr"), text, QStringLiteral("ProfilNr"), 2);
    }();
    return layout;
}

const Layout &profilLayout()
{
    static const Layout layout = makeLayout(
        QStringLiteral("Profil"), QStringLiteral("Profil.db"), QStringLiteral("Nr"),
        {QStringLiteral("Profil"), QStringLiteral("Exercise"), QStringLiteral("Load"),
         QStringLiteral("StartRest"), QStringLiteral("FroPhase"), QStringLiteral("ToPhase"),
         QStringLiteral("RestafterFro"), QStringLiteral("RestafterTo"), QStringLiteral("Rep"),
         QStringLiteral("Sets"), QStringLiteral("RestSets")});
    return layout;
}

const Layout &spTableLayout()
{
    static const Layout layout = makeLayout(
        QStringLiteral("SPTable"), QStringLiteral("SPTable.db"), QStringLiteral("Nr"),
        {QStringLiteral("Name"), QStringLiteral("Surname"), QStringLiteral("Bodyweight"),
         QStringLiteral("Height")});
    return layout;
}

} // namespace store
