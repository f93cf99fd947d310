#pragma once

// Paradox tables shaped like the program's three tables, and a snapshot of
// a folder to tell whether anything in it changed.

#include "store/layout.h"
#include "support/paradoxwriter.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QMap>

#include <functional>

namespace paradox {

// The fields of `layout`: the key as autoincrement, the whole-number field
// as long integer, the texts as alpha.  `value` gives a field's stored
// bytes (by default "<field><record>" and numbers counting from 1).
inline Table trainingTable(const store::Layout &layout, int records, int versionCode = 12,
                           const std::function<QByteArray(int record, const QString &field)> &value = {})
{
    Table table;
    table.versionCode = versionCode;
    for (const store::FieldDef &field : layout.fields) {
        switch (field.kind) {
        case store::FieldKind::Key:
            table.fields.append({field.name, AutoInc, 4});
            break;
        case store::FieldKind::Integer:
            table.fields.append({field.name, Long, 4});
            break;
        case store::FieldKind::Text:
            table.fields.append({field.name, Alpha, 20});
            break;
        }
    }
    for (int r = 0; r < records; ++r) {
        QList<QByteArray> values;
        for (const store::FieldDef &field : layout.fields) {
            if (value) {
                values << value(r, field.name);
            } else if (field.kind == store::FieldKind::Key) {
                values << storedInt(r + 1, 4);
            } else if (field.kind == store::FieldKind::Integer) {
                values << storedInt(r % 5 + 1, 4);
            } else {
                values << (field.name.left(12) + QString::number(r + 1)).toLatin1();
            }
        }
        table.records.append(values);
    }
    return table;
}

// Every file under `folder` with its bytes, by relative path.
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        // Links and special files are told by what they are, never opened
        // (a named pipe would block).
        if (info.isSymLink()) {
            files.insert(QDir(folder).relativeFilePath(path), "link to " + QFile::encodeName(info.symLinkTarget()));
            continue;
        }
        if (!info.isFile()) {
            files.insert(QDir(folder).relativeFilePath(path), "special file");
            continue;
        }
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(QDir(folder).relativeFilePath(path), file.readAll());
    }
    return files;
}

} // namespace paradox
