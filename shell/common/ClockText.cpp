#include "ClockText.h"

QString clockText(int hours, int minutes, int seconds)
{
    const auto twoDigits = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("%1:%2:%3").arg(twoDigits(hours), twoDigits(minutes), twoDigits(seconds));
}
