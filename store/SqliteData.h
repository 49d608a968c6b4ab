#pragma once

#include <QDateTime>
#include <QString>

// A generic row of eight texts and one date-time; each producer states what
// it puts in which text.
class SqliteData
{
public:
    QString text0;
    QString text1;
    QString text2;
    QString text3;
    QString text4;
    QString text5;
    QString text6;
    QString text7;
    QDateTime dateTime;
};
