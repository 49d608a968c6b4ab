#pragma once

#include "FieldInfo.h"

#include <QList>
#include <QString>

// One table of a database file, or, with kind 1, a change that a merge makes
// to the user's table of that name: fields are then only the columns to add.
struct TableInfo
{
    QString tableName;
    QString createSql;
    QList<FieldInfo> fields; // in table_info order
    int kind = 0;
};
