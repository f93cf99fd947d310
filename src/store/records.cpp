#include "store/records.h"

#include "store/layout.h"
#include "store/table.h"

#include <functional>
#include <utility>

namespace store {
namespace {

// The settings' fields, by field name.
QList<std::pair<QString, QString>> settingsTexts(const TestSettings &s)
{
    return {
        {QStringLiteral("StartRest"), s.startRest},       {QStringLiteral("FroPhase"), s.froPhase},
        {QStringLiteral("ToPhase"), s.toPhase},           {QStringLiteral("RestafterFro"), s.restAfterFro},
        {QStringLiteral("RestafterTo"), s.restAfterTo},   {QStringLiteral("Rep"), s.repetitionsPerSet},
        {QStringLiteral("Sets"), s.sets},                 {QStringLiteral("RestSets"), s.restBetweenSets},
    };
}

// The text fields of a test record, by field name.
QList<std::pair<QString, QString>> testTexts(const TestRecord &r)
{
    QList<std::pair<QString, QString>> texts = {
        {QStringLiteral("Date"), r.date},           {QStringLiteral("Name"), r.name},
        {QStringLiteral("Surname"), r.surname},     {QStringLiteral("Bodyweight"), r.bodyweight},
        {QStringLiteral("Height"), r.height},       {QStringLiteral("Exercise"), r.exercise},
        {QStringLiteral("Load"), r.load},
    };
    for (int k = 0; k < 20; ++k)
        texts.append({QStringLiteral("RealTime%1").arg(k + 1), r.realTimes[k]});
    for (int k = 0; k < 20; ++k)
        texts.append({QStringLiteral("RealR%1").arg(k + 1), r.repetitions[k]});
    texts += settingsTexts(r.settings);
    texts += {{QStringLiteral("TUTTotal"), r.tutTotal}, {QStringLiteral("TUTReal"), r.tutReal}};
    return texts;
}

QList<std::pair<QString, QString>> profileTexts(const ProfileRecord &r)
{
    return QList<std::pair<QString, QString>>{{QStringLiteral("Exercise"), r.exercise}, {QStringLiteral("Load"), r.load}}
        + settingsTexts(r.settings);
}

// Begins a record, lets `fill` set its fields and posts it; on a failure
// the begun record is dropped at once, so that no later operation of the
// table stores it half filled.
qint64 append(Table &table, const std::function<void()> &fill)
{
    table.append();
    try {
        fill();
        table.post();
    } catch (...) {
        table.cancel();
        throw;
    }
    return table.fieldText(table.layout().key().name).toLongLong();
}

} // namespace

qint64 appendTest(Table &table, const TestRecord &record)
{
    return append(table, [&] {
        table.setSaveId(record.saveId);
        table.setFieldInteger(QStringLiteral("ProfilNr"), record.profileNumber);
        for (const auto &[field, text] : testTexts(record))
            table.setFieldText(field, text);
    });
}

qint64 appendProfile(Table &table, const ProfileRecord &record)
{
    return append(table, [&] {
        table.setSaveId(record.saveId);
        if (record.profile)
            table.setFieldText(QStringLiteral("Profil"), *record.profile);
        for (const auto &[field, text] : profileTexts(record))
            table.setFieldText(field, text);
    });
}

qint64 appendAthlete(Table &table, const AthleteRecord &record)
{
    return append(table, [&] {
        table.setSaveId(record.saveId);
        table.setFieldText(QStringLiteral("Name"), record.name);
        table.setFieldText(QStringLiteral("Surname"), record.surname);
        table.setFieldText(QStringLiteral("Bodyweight"), record.bodyweight);
        table.setFieldText(QStringLiteral("Height"), record.height);
    });
}

QStringList testFields(const TestRecord &record)
{
    const Layout &layout = testTableLayout();
    QStringList fields(layout.fields.size());
    fields[layout.indexOf(QStringLiteral("ProfilNr"))] = QString::number(record.profileNumber);
    for (const auto &[field, text] : testTexts(record))
        fields[layout.indexOf(field)] = text;
    return fields;
}

QStringList profileFields(const ProfileRecord &record)
{
    QStringList fields{record.profile ? QStringLiteral("1") + *record.profile : QStringLiteral("0")};
    for (const auto &[field, text] : profileTexts(record))
        fields << text;
    return fields;
}

QStringList athleteFields(const AthleteRecord &record)
{
    return {record.name, record.surname, record.bodyweight, record.height};
}

} // namespace store
