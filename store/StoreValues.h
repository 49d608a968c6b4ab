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

} // namespace storevalues
