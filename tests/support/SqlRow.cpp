#include "SqlRow.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtDebug>

QStringList sqlRow(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    QStringList columns;
    if (!query.exec()) {
        qWarning() << query.lastError().text();
        return columns;
    }
    if (query.next()) {
        for (int i = 0; i < query.record().count(); ++i)
            columns.append(query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
    }
    return columns;
}

int sqlCount(const QString &sql, const QVariantList &values)
{
    const QStringList columns = sqlRow(sql, values);
    return columns.isEmpty() ? -1 : columns.first().toInt();
}
