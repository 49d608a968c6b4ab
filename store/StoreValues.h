#pragma once

// How the store's statements write and read values; shared by the store's
// sources only.

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace storevalues {

inline const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// Numbers and ids reach the statements as text, as the bank's queries always
// compared them.
inline QVariant numberText(int number)
{
    return QString::number(number);
}

// A text to bind: a null text would bind as NULL, where the bank's rows have
// always held '' (and a LIKE pattern on NULL matches nothing).
inline QVariant textValue(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

// The current time as it is stored.
inline QString nowText()
{
    return QDateTime::currentDateTime().toString(timeFormat);
}

// A stored time; NULL or a text not in the stored form gives a null date-time.
inline QDateTime storedTime(const QVariant &value)
{
    return value.isNull() ? QDateTime() : QDateTime::fromString(value.toString(), timeFormat);
}

// Whether stored value a comes before b in the engine's ascending order:
// NULL, then numbers, then texts, then blobs.
inline bool storedBefore(const QVariant &a, const QVariant &b)
{
    const auto valueClass = [](const QVariant &value) {
        if (value.isNull())
            return 0;
        switch (value.userType()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::Double:
            return 1;
        case QMetaType::QByteArray:
            return 3;
        default:
            return 2;
        }
    };
    const int classA = valueClass(a);
    const int classB = valueClass(b);
    if (classA != classB)
        return classA < classB;
    switch (classA) {
    case 1:
        return a.toDouble() < b.toDouble();
    case 2:
        return a.toString() < b.toString();
    case 3:
        return a.toByteArray() < b.toByteArray();
    default:
        return false;
    }
}

} // namespace storevalues
