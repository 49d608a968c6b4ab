#pragma once

#include <QString>

// "hh:mm:ss" of a running clock, each part two digits (hours may grow past 99).
QString clockText(int hours, int minutes, int seconds);
