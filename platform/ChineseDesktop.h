#pragma once

#include <QString>

class QDateTime;

// The forms were made on a Chinese Windows desktop: the same language for
// dates and numbers, and faces for the Windows font families they name,
// on any system the program runs on.
class ChineseDesktop
{
public:
    // Once at start-up, before the first widget.
    static void apply();
    // A date and time as the program shows it to the user.
    static QString textDate(const QDateTime &time);
};
