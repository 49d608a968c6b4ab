#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// Reads the default connection as tests check it: the first row's columns as
// text ("NULL" for a null), empty when the statement fails (with a warning).
QStringList sqlRow(const QString &sql, const QVariantList &values = {});
// The first column of the first row as a number, -1 when the statement fails.
int sqlCount(const QString &sql, const QVariantList &values = {});
