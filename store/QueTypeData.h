#pragma once

#include <QString>

// One question type (a tQueType row, read by position).
class QueTypeData
{
public:
    int queTypeId = 0;
    QString queTypeName;
    QString memo;
    // Questions of this type in a simulated exam (the sixth column).
    int examCount = 0;
    // The fourth and fifth columns; kept as read, nothing uses them.
    int column4 = 0;
    int column5 = 0;
};
