#pragma once

// How the store's statements write and read values; shared by the store's
// sources only.

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <iterator>

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
// The stored form is read by hand: the general parser costs a long list more
// than its statement. Anything else goes to the parser, which judges it.
inline QDateTime storedTime(const QVariant &value)
{
    if (value.isNull())
        return QDateTime();
    const QString text = value.toString();
    const auto number = [&text](int from, int digits) {
        int result = 0;
        for (int i = from; i < from + digits; ++i) {
            const int digit = text.at(i).unicode() - '0';
            if (digit < 0 || digit > 9)
                return -1;
            result = result * 10 + digit;
        }
        return result;
    };
    if (text.size() == 19 && text.at(4) == QLatin1Char('-') && text.at(7) == QLatin1Char('-')
        && text.at(10) == QLatin1Char(' ') && text.at(13) == QLatin1Char(':') && text.at(16) == QLatin1Char(':')) {
        const int fields[] = {number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
        const QDate date(fields[0], fields[1], fields[2]);
        const QTime time(fields[3], fields[4], fields[5]);
        if (std::all_of(std::begin(fields), std::end(fields), [](int field) { return field >= 0; })
            && date.isValid() && time.isValid())
            return QDateTime(date, time);
    }
    return QDateTime::fromString(text, timeFormat);
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
