#include "ExamRecord.h"

#include "SqliteClass.h"
#include "SqliteData.h"

#include <QDebug>
#include <QStringList>

QString ExamRecord::countsText() const
{
    return QStringLiteral("%1/%2/%3").arg(total).arg(right).arg(unanswered);
}

bool ExamRecord::readCounts(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('/'));
    if (parts.size() != 3)
        return false;
    int numbers[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).toInt(&ok);
        if (!ok)
            return false;
    }
    total = numbers[0];
    right = numbers[1];
    unanswered = numbers[2];
    return true;
}

int ExamRecord::insert() const
{
    SqliteData row;
    row.text2 = QString::number(kind);
    row.text3 = report;
    row.text4 = countsText();
    SqliteClass *store = SqliteClass::instance();
    const int result = store->InsertExamTable(&row);
    if (result == -1)
        qDebug().noquote() << store->lastErrorText();
    return result;
}
