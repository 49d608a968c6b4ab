#pragma once

#include <QString>
#include <QVariantList>

// One column of a table as "PRAGMA table_info" reports it, and, once a
// table's rows have been read, that column's values.
struct FieldInfo
{
    int pk = 0;           // place in the primary key, 0 when not part of it
    int notNull = 0;      // 1 when declared NOT NULL
    int cid = 0;          // position in the table, from 0
    QString type;         // declared type, possibly empty
    QString defaultValue; // the default's SQL text as the engine reports it
    QString name;
    // One value per row, in the table's row order, each of its own type
    // (a NULL stays a null variant) so that it is written back unchanged.
    QVariantList values;
};
